// The messages between a --send run and the holder of its port, as a peer may send them.
#include "network/HandOver.h"

#include <gtest/gtest.h>

namespace {

using namespace hand_over;

TEST(HandOver, RequestsAndRepliesComeBackAsTheyWentAndAnythingElseIsRefused) {
  Request request;
  request.device = "/dev/serial/by-id/usb-x";
  request.port = 2;
  request.speed = 9600;
  request.speedGiven = true;
  request.address = "003";
  request.json = true;
  request.timeoutMs = 700;
  request.log = "/tmp/traffic.log";
  request.commands = {"status", "CF IMAGE REAL", "", std::string("C\0\xff", 3)};
  request.hand = "pjlink 127.0.0.1:51234";
  const std::string whole = Encode(request);
  EXPECT_EQ(std::get<Request>(DecodeRequest(whole)), request);
  EXPECT_EQ(std::get<Request>(DecodeRequest(Encode(Request{}))), Request{});
  Request lend;
  lend.lend = true;
  lend.probe = true;
  EXPECT_EQ(std::get<Request>(DecodeRequest(Encode(lend))), lend);
  const Reply reply{143, "TXD  C R 0 CR \n", std::string(70000, 'e')};
  EXPECT_EQ(std::get<Reply>(DecodeReply(Encode(reply))), reply);

  std::string longer = whole;
  longer.replace(4, 4, std::string("\xff\xff\x0f\x00", 4));  // a body of a megabyte
  std::string cut = whole.substr(0, whole.size() - 1);
  // A default request's timeout, after the device, port, speed, its flag, "SINGLE" and --json.
  std::string twoWays = Encode(Request{});
  twoWays.replace(8 + 4 + 4 + 4 + 4 + 10 + 4, 4, std::string("\xfe\xff\xff\xff", 4));  // -2: no timeout, said otherwise
  std::string lying = whole;
  lying[4] = static_cast<char>(lying[4] - 1);  // one byte less than its fields
  const struct {
    const char* what;
    std::string bytes;
    int expected;  // 0 need more, 1 malformed
  } table[] = {
      {"nothing yet", "", 0},
      {"the magic in part", "PP", 0},
      {"a header without its body", whole.substr(0, 8), 0},
      {"all but the last byte", cut, 0},
      {"another protocol", "GET / HTTP/1.0\r\n\r\n", 1},
      {"longer than any request", longer, 1},
      {"a length its fields do not fill", lying, 1},
      {"a value with another way to say it", twoWays, 1},
  };
  for (const auto& row : table) {
    const auto decoded = DecodeRequest(row.bytes);
    EXPECT_EQ(decoded.index(), static_cast<std::size_t>(row.expected)) << row.what;
  }
}

}  // namespace
