#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// The client's side of Telnet (RFC 854) with the com port control option (RFC 2217), as bytes in
// and bytes out: no sockets, no clock. Each byte from the server is looked at once, whatever the
// pieces it comes in.
//
// It asks for the com port option and for 8-bit data both ways (BINARY) and agrees to nothing
// else: every other option the server offers or asks for is refused, every other command is
// swallowed. Nothing but the device's own bytes reaches the data. It never asks for modem lines
// (DTR, RTS): a server whose device cannot drive them would never confirm.
class TelnetCodec {
 public:
  static constexpr std::uint8_t kIac = 255, kDont = 254, kDo = 253, kWont = 252, kWill = 251, kSb = 250, kSe = 240;
  static constexpr std::uint8_t kBinary = 0, kComPort = 44;
  // Com port option commands from the client; the server answers each with the code + 100.
  static constexpr std::uint8_t kSignature = 0, kSetBaud = 1, kSetDataSize = 2, kSetParity = 3, kSetStopSize = 4;
  static constexpr std::uint8_t kServerOffset = 100;
  static constexpr std::uint8_t kParityNone = 1, kStopOne = 1;

  enum class ComPort { Asked, Agreed, Refused };

  // What the server last answered to each setting, as it stated it.
  struct Answers {
    std::optional<std::uint32_t> baud;
    std::optional<std::uint8_t> dataSize, parity, stopSize;
    bool operator==(const Answers&) const = default;
  };

  // Queues the opening: WILL COM-PORT-OPTION, WILL BINARY, DO BINARY.
  TelnetCodec();

  // Takes bytes from the server: the device's bytes are appended to `data`; what the protocol
  // requires in return is queued for the server.
  void Receive(std::string_view bytes, std::string& data);

  // Queues the device's bytes for the server: 0xFF doubled, and a CR followed by NUL while the
  // server has not agreed to take 8-bit data.
  void SendData(std::string_view bytes);
  // Queues the requests for baud rate, 8 data bits, no parity and 1 stop bit, in the order the
  // com port option recommends.
  void RequestLineSettings(std::uint32_t baud);
  void RequestBaud(std::uint32_t baud);

  // Everything queued for the server since the last call.
  std::string TakeOutgoing();

  ComPort comPort() const;
  const Answers& answers() const { return answers_; }
  // Before new requests: an answer counts only when it comes after its request.
  void ForgetAnswers() { answers_ = {}; }

 private:
  enum class Side : std::uint8_t { No, Yes, Asked };  // an option on one side of the connection
  enum class State : std::uint8_t { Data, Iac, Negotiate, Sub, SubIac };
  static constexpr std::size_t kSubLimit = 64;  // longer subnegotiations are kept only in part

  void Command(std::uint8_t byte);
  void Negotiate(std::uint8_t verb, std::uint8_t option);
  void Subnegotiation();
  void Queue(std::uint8_t verb, std::uint8_t option);
  void QueueComPort(std::uint8_t command, std::string_view payload);

  State state_ = State::Data;
  std::uint8_t verb_ = 0;
  std::string sub_;
  bool dropNulAfterCr_ = false;
  std::array<Side, 256> us_{};   // options we perform (the server's DO/DONT)
  std::array<Side, 256> him_{};  // options the server performs (its WILL/WONT)
  Answers answers_;
  std::string outgoing_;
};
