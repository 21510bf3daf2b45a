#pragma once
// A port on 127.0.0.1 that listens but never lets a client connect: the
// client's connection request goes unanswered until the client gives up, as
// with a host that drops the handshake. Windows is asked to hold each
// request until the program accepts it (conditional accept), which this
// listener never does; where that option is not honoured, the listener's
// queue of completed connections is filled by connections of its own, and
// the system then drops further requests. Winsock only. Link ws2_32.

#include <winsock2.h>

#include <vector>

class SilentListener {
 public:
  // Port 0 picks an ephemeral port.
  explicit SilentListener(unsigned short port) {
    WSADATA data;
    WSAStartup(MAKEWORD(2, 2), &data);
    listener_ = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    const BOOL on = TRUE;
    setsockopt(listener_, SOL_SOCKET, SO_REUSEADDR, reinterpret_cast<const char*>(&on), sizeof on);
    setsockopt(listener_, SOL_SOCKET, SO_CONDITIONAL_ACCEPT, reinterpret_cast<const char*>(&on),
               sizeof on);
    address_.sin_family = AF_INET;
    address_.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address_.sin_port = htons(port);
    if (bind(listener_, reinterpret_cast<sockaddr*>(&address_), sizeof address_) != 0 ||
        listen(listener_, 0) != 0) {
      return;
    }
    int length = sizeof address_;
    getsockname(listener_, reinterpret_cast<sockaddr*>(&address_), &length);
    // Connect until one connection stays unanswered.
    for (int i = 0; i < 16 && !silent_; ++i) silent_ = !ConnectOnce();
  }

  ~SilentListener() {
    for (SOCKET client : clients_) closesocket(client);
    if (listener_ != INVALID_SOCKET) closesocket(listener_);
    WSACleanup();
  }
  SilentListener(const SilentListener&) = delete;
  SilentListener& operator=(const SilentListener&) = delete;

  // True once a connection request to the port went unanswered.
  bool Silent() const { return silent_; }
  unsigned short Port() const { return ntohs(address_.sin_port); }

 private:
  // Starts a connection and keeps it; true when it was answered (completed
  // or refused) within 300 ms.
  bool ConnectOnce() {
    SOCKET client = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    clients_.push_back(client);
    u_long nonBlocking = 1;
    ioctlsocket(client, FIONBIO, &nonBlocking);
    connect(client, reinterpret_cast<sockaddr*>(&address_), sizeof address_);
    fd_set writable;
    fd_set failed;
    FD_ZERO(&writable);
    FD_ZERO(&failed);
    FD_SET(client, &writable);
    FD_SET(client, &failed);
    timeval wait = {0, 300000};
    return select(0, nullptr, &writable, &failed, &wait) > 0;
  }

  SOCKET listener_ = INVALID_SOCKET;
  sockaddr_in address_ = {};
  std::vector<SOCKET> clients_;
  bool silent_ = false;
};
