#include "network/TelnetCodec.h"

#include <utility>

TelnetCodec::TelnetCodec() {
  us_[kComPort] = Side::Asked;
  us_[kBinary] = Side::Asked;
  him_[kBinary] = Side::Asked;
  Queue(kWill, kComPort);
  Queue(kWill, kBinary);
  Queue(kDo, kBinary);
}

void TelnetCodec::Receive(std::string_view bytes, std::string& data) {
  for (const char c : bytes) {
    const auto byte = static_cast<std::uint8_t>(c);
    switch (state_) {
      case State::Data:
        if (byte == kIac) {
          state_ = State::Iac;
        } else if (byte == 0 && dropNulAfterCr_) {
          dropNulAfterCr_ = false;  // a CR NUL pair of a server that sends 7-bit text: the CR alone is data
        } else {
          data.push_back(c);
          dropNulAfterCr_ = c == '\r' && him_[kBinary] != Side::Yes;
        }
        break;
      case State::Iac:
        if (byte == kIac) {
          data.push_back(c);  // a doubled 0xFF is one data byte
          dropNulAfterCr_ = false;
          state_ = State::Data;
        } else {
          Command(byte);
        }
        break;
      case State::Negotiate:
        Negotiate(verb_, byte);
        state_ = State::Data;
        break;
      case State::Sub:
        if (byte == kIac) state_ = State::SubIac;
        else if (sub_.size() < kSubLimit) sub_.push_back(c);
        break;
      case State::SubIac:
        if (byte == kSe) {
          Subnegotiation();
          state_ = State::Data;
        } else if (byte == kIac) {
          if (sub_.size() < kSubLimit) sub_.push_back(c);
          state_ = State::Sub;
        } else {
          Command(byte);  // a server that never ends its subnegotiation: drop it, take the command
        }
        break;
    }
  }
}

void TelnetCodec::Command(std::uint8_t byte) {
  if (byte == kWill || byte == kWont || byte == kDo || byte == kDont) {
    verb_ = byte;
    state_ = State::Negotiate;
  } else if (byte == kSb) {
    sub_.clear();
    state_ = State::Sub;
  } else {
    state_ = State::Data;  // NOP, GA, BRK, AYT, DM ... mean nothing to a serial line
  }
}

// The rules of RFC 1143, for a side that only ever asks to enable: a request is answered only when
// it would change the option's state, so two sides never answer each other for ever.
void TelnetCodec::Negotiate(std::uint8_t verb, std::uint8_t option) {
  const bool enable = verb == kWill || verb == kDo;
  const bool serverSide = verb == kWill || verb == kWont;
  Side& side = serverSide ? him_[option] : us_[option];
  const bool wanted = option == kBinary || (option == kComPort && !serverSide);
  const std::uint8_t agree = serverSide ? kDo : kWill;
  const std::uint8_t refuse = serverSide ? kDont : kWont;
  if (enable) {
    if (side == Side::Asked) {
      side = Side::Yes;  // the answer to our own request
    } else if (side == Side::No) {
      if (wanted) side = Side::Yes;
      Queue(wanted ? agree : refuse, option);
    }
  } else {
    if (side == Side::Yes) Queue(refuse, option);  // acknowledged; a refusal of a request is not
    side = Side::No;
  }
}

void TelnetCodec::Subnegotiation() {
  if (sub_.size() < 2 || static_cast<std::uint8_t>(sub_[0]) != kComPort) return;
  const auto code = static_cast<std::uint8_t>(sub_[1]);
  const std::string_view value = std::string_view(sub_).substr(2);
  const auto byte = [&value] { return static_cast<std::uint8_t>(value[0]); };
  switch (code) {
    case kServerOffset + kSignature:
      if (value.empty()) QueueComPort(kSignature, "projector-panel");  // the server asks who we are
      break;
    case kServerOffset + kSetBaud:
      if (value.size() == 4) {
        std::uint32_t baud = 0;
        for (const char c : value) baud = baud << 8 | static_cast<std::uint8_t>(c);
        answers_.baud = baud;
      }
      break;
    case kServerOffset + kSetDataSize:
      if (value.size() == 1) answers_.dataSize = byte();
      break;
    case kServerOffset + kSetParity:
      if (value.size() == 1) answers_.parity = byte();
      break;
    case kServerOffset + kSetStopSize:
      if (value.size() == 1) answers_.stopSize = byte();
      break;
    default: break;  // line and modem state, flow control: nothing the panel acts on
  }
}

void TelnetCodec::SendData(std::string_view bytes) {
  for (const char c : bytes) {
    outgoing_.push_back(c);
    if (static_cast<std::uint8_t>(c) == kIac) outgoing_.push_back(c);
    if (c == '\r' && us_[kBinary] != Side::Yes) outgoing_.push_back('\0');
  }
}

void TelnetCodec::RequestLineSettings(std::uint32_t baud) {
  RequestBaud(baud);
  QueueComPort(kSetDataSize, "\x08");
  QueueComPort(kSetParity, std::string(1, static_cast<char>(kParityNone)));
  QueueComPort(kSetStopSize, std::string(1, static_cast<char>(kStopOne)));
}

void TelnetCodec::RequestBaud(std::uint32_t baud) {
  std::string value;
  for (int shift = 24; shift >= 0; shift -= 8) value.push_back(static_cast<char>(baud >> shift & 0xFF));
  QueueComPort(kSetBaud, value);
}

std::string TelnetCodec::TakeOutgoing() { return std::exchange(outgoing_, {}); }

TelnetCodec::ComPort TelnetCodec::comPort() const {
  switch (us_[kComPort]) {
    case Side::Yes: return ComPort::Agreed;
    case Side::No: return ComPort::Refused;
    case Side::Asked: break;
  }
  return ComPort::Asked;
}

void TelnetCodec::Queue(std::uint8_t verb, std::uint8_t option) {
  outgoing_ += {static_cast<char>(kIac), static_cast<char>(verb), static_cast<char>(option)};
}

void TelnetCodec::QueueComPort(std::uint8_t command, std::string_view payload) {
  outgoing_ += {static_cast<char>(kIac), static_cast<char>(kSb), static_cast<char>(kComPort), static_cast<char>(command)};
  for (const char c : payload) {
    outgoing_.push_back(c);
    if (static_cast<std::uint8_t>(c) == kIac) outgoing_.push_back(c);
  }
  outgoing_ += {static_cast<char>(kIac), static_cast<char>(kSe)};
}
