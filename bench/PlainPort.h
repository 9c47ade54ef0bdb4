#pragma once

#include <QSerialPort>

// Opens a serial device as a bare Qt program would, at the panel's settings: 19200 baud, 8 data
// bits, no parity, 1 stop bit, no flow control.
inline bool OpenPlainly(QSerialPort& port) {
  port.setBaudRate(QSerialPort::Baud19200);
  port.setDataBits(QSerialPort::Data8);
  port.setParity(QSerialPort::NoParity);
  port.setStopBits(QSerialPort::OneStop);
  port.setFlowControl(QSerialPort::NoFlowControl);
  return port.open(QIODevice::ReadWrite);
}
