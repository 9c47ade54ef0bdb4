// The Telnet / RFC 2217 codec on its own: server bytes in, device bytes and answers out.
#include <gtest/gtest.h>

#include <initializer_list>

#include "network/TelnetCodec.h"

namespace {

using C = TelnetCodec;
using Answers = C::Answers;

// Bytes by their codes: Telnet commands read best as numbers.
std::string B(std::initializer_list<int> codes) {
  std::string bytes;
  for (const int code : codes) bytes.push_back(static_cast<char>(code));
  return bytes;
}

constexpr int IAC = C::kIac, SB = C::kSb, SE = C::kSe, WILL = C::kWill, WONT = C::kWont, DO = C::kDo, DONT = C::kDont;
constexpr int BIN = C::kBinary, COM = C::kComPort, ECHO_ = 1, SGA = 3, TTYPE = 24, NAWS = 31;

struct Case {
  const char* name;
  std::string server;  // what the server sends after the opening
  std::string data;    // what reaches the receive buffer
  std::string reply;   // what the codec answers
  C::ComPort comPort = C::ComPort::Asked;
  Answers answers = {};
};

TEST(TelnetCodec, DecodesTheServersBytesWhateverThePieces) {
  const std::string signature = B({IAC, SB, COM, 0}) + "projector-panel" + B({IAC, SE});
  const Case cases[] = {
      {"plain data passes", "80\r", "80\r", ""},
      {"a doubled 0xFF is one data byte", B({'8', IAC, IAC, '0'}), B({'8', 0xFF, '0'}), ""},
      {"ser2net's greeting: binary and the com port agreed, the rest refused",
       B({IAC, WILL, SGA, IAC, DO, SGA, IAC, WILL, ECHO_, IAC, DONT, ECHO_, IAC, DO, BIN, IAC, WILL, BIN, IAC, DO, COM}),
       "", B({IAC, DONT, SGA, IAC, WONT, SGA, IAC, DONT, ECHO_}), C::ComPort::Agreed},
      {"a server that refuses the com port", B({IAC, DONT, COM}), "", "", C::ComPort::Refused},
      {"an agreed option withdrawn is acknowledged once", B({IAC, DO, COM, IAC, DONT, COM, IAC, DONT, COM}), "",
       B({IAC, WONT, COM}), C::ComPort::Refused},
      {"options nobody asked for are refused", B({IAC, WILL, TTYPE, IAC, DO, NAWS, IAC, WILL, COM}), "",
       B({IAC, DONT, TTYPE, IAC, WONT, NAWS, IAC, DONT, COM})},
      {"an answer to our own request is not answered", B({IAC, WILL, BIN, IAC, WILL, BIN, IAC, DO, BIN}), "", ""},
      {"the four settings confirmed",
       B({IAC, SB, COM, 101, 0, 0, 0x4B, 0x00, IAC, SE, IAC, SB, COM, 102, 8, IAC, SE, IAC, SB, COM, 103, 1, IAC, SE,
          IAC, SB, COM, 104, 1, IAC, SE}),
       "", "", C::ComPort::Asked, Answers{19200, 8, 1, 1}},
      {"a doubled 0xFF inside an answer", B({IAC, SB, COM, 101, 0, 0, IAC, IAC, IAC, IAC, IAC, SE}), "", "",
       C::ComPort::Asked, Answers{65535, {}, {}, {}}},
      {"an answer of the wrong length is no answer", B({IAC, SB, COM, 101, 0, 0x4B, 0, IAC, SE}), "", ""},
      {"the server asks who we are", B({IAC, SB, COM, 100, IAC, SE}), "", signature},
      {"the server's own signature and line notices are swallowed",
       B({IAC, SB, COM, 100, 'x', IAC, SE, '1', IAC, SB, COM, 107, 0x30, IAC, SE, IAC, SB, COM, 106, 0x60, IAC, SE}),
       "1", ""},
      {"other commands are swallowed", B({'8', IAC, 241, IAC, 249, IAC, 246, IAC, SE, '0'}), "80", ""},
      {"7-bit text: CR NUL is a CR", B({'\r', 0, 'x', 0, '\r', '\n'}), B({'\r', 'x', 0, '\r', '\n'}), ""},
      {"8-bit data: CR NUL stays", B({IAC, WILL, BIN, '\r', 0}), B({'\r', 0}), ""},
      {"8-bit data withdrawn", B({IAC, WILL, BIN, IAC, WONT, BIN, '\r', 0, 'x'}), "\rx", B({IAC, DONT, BIN})},
      {"an unended subnegotiation gives way to the next command",
       B({IAC, SB, COM, 101, 0, IAC, WILL, TTYPE}) + "ok", "ok", B({IAC, DONT, TTYPE})},
      {"a long subnegotiation of another option", B({IAC, SB, TTYPE}) + std::string(300, 'x') + B({IAC, SE}) + "ok",
       "ok", ""},
  };
  for (const Case& c : cases) {
    for (const std::size_t piece : {c.server.size(), std::size_t{1}}) {
      SCOPED_TRACE(std::string(c.name) + (piece == 1 ? ", a byte at a time" : ", whole"));
      C codec;
      codec.TakeOutgoing();
      std::string data;
      for (std::size_t at = 0; at < c.server.size(); at += piece) codec.Receive(std::string_view(c.server).substr(at, piece), data);
      EXPECT_EQ(data, c.data);
      EXPECT_EQ(codec.TakeOutgoing(), c.reply);
      EXPECT_EQ(codec.comPort(), c.comPort);
      EXPECT_EQ(codec.answers(), c.answers);
    }
  }
}

TEST(TelnetCodec, SendsTheOpeningTheSettingsAndEscapedData) {
  const struct {
    const char* name;
    std::string server;  // heard first
    void (*act)(C&);
    std::string sent;  // after the opening
  } cases[] = {
      {"the opening alone", "", [](C&) {}, ""},
      {"the line at 9600 baud, 8N1", "", [](C& c) { c.RequestLineSettings(9600); },
       B({IAC, SB, COM, 1, 0, 0, 0x25, 0x80, IAC, SE, IAC, SB, COM, 2, 8, IAC, SE, IAC, SB, COM, 3, 1, IAC, SE, IAC, SB,
          COM, 4, 1, IAC, SE})},
      {"a 0xFF in a setting is doubled", "", [](C& c) { c.RequestBaud(0xFF00FF); },
       B({IAC, SB, COM, 1, 0, IAC, IAC, 0, IAC, IAC, IAC, SE})},
      {"8-bit data: 0xFF doubled, CR alone", B({IAC, DO, BIN}), [](C& c) { c.SendData(B({'C', 0xFF, '\r'})); },
       B({'C', IAC, IAC, '\r'})},
      {"7-bit text: CR NUL", B({IAC, DONT, BIN}), [](C& c) { c.SendData("C00\r"); }, B({'C', '0', '0', '\r', 0})},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    C codec;
    std::string data;
    codec.Receive(c.server, data);
    c.act(codec);
    EXPECT_EQ(codec.TakeOutgoing(), B({IAC, WILL, COM, IAC, WILL, BIN, IAC, DO, BIN}) + c.sent);
  }
}

}  // namespace
