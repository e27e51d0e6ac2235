// Both ends of the control socket.
#include "ControlSocket.h"

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <thread>

#include "Commands.h"

namespace faultfs {

namespace {

bool AddressOf(const std::string& path, sockaddr_un& address) {
  address = {};
  address.sun_family = AF_UNIX;
  if (path.size() >= sizeof address.sun_path) return false;
  std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
  return true;
}

bool SendAll(int fd, const std::string& text) {
  for (std::size_t done = 0; done < text.size();) {
    ssize_t n = ::write(fd, text.data() + done, text.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    done += static_cast<std::size_t>(n);
  }
  return true;
}

// Up to the first line break or the end of the stream.
std::string ReceiveLine(int fd) {
  std::string line;
  char c;
  for (;;) {
    ssize_t n = ::read(fd, &c, 1);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0 || c == '\n') return line;
    line += c;
  }
}

}  // namespace

int BindControl(const std::string& path, std::string& error) {
  sockaddr_un address;
  if (!AddressOf(path, address)) {
    error = "the control socket's path is too long: " + path;
    return -1;
  }
  int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
  ::unlink(path.c_str());
  if (fd < 0 || ::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 || ::listen(fd, 16) != 0) {
    error = "cannot listen at " + path + ": " + std::strerror(errno);
    if (fd >= 0) ::close(fd);
    return -1;
  }
  return fd;
}

void ServeControl(Volume& volume, int listening) {
  std::thread([&volume, listening] {
    for (;;) {
      int client = ::accept4(listening, nullptr, nullptr, SOCK_CLOEXEC);
      if (client < 0) {
        if (errno == EINTR || errno == ECONNABORTED) continue;
        return;
      }
      SendAll(client, RunCommand(volume, ReceiveLine(client)) + "\n");
      ::close(client);
    }
  }).detach();
}

int SendCommand(const std::string& path, const std::string& command) {
  sockaddr_un address;
  int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (!AddressOf(path, address) || fd < 0 ||
      ::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
    std::fprintf(stderr, "faultfs ctl: cannot reach %s: %s\n", path.c_str(), std::strerror(errno));
    return 2;
  }
  std::string answer;
  if (SendAll(fd, command + "\n")) answer = ReceiveLine(fd);
  ::close(fd);
  std::printf("%s\n", answer.c_str());
  return answer.rfind("ok", 0) == 0 ? 0 : 1;
}

}  // namespace faultfs
