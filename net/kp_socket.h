// Blocking sockets over the POSIX socket interface: TCP clients and servers, UDP datagrams,
// IPv4 addresses with name lookup. Every call may block, so only worker threads and the
// framework's own set-up use them. Byte ranges are cut to the buffer before the system call.
#pragma once

#include <memory>
#include <netinet/in.h>

#include "net/c_DataBuffer.h"

// An IPv4 address with its dotted text and port, computed lazily by Validate.
class KpSocketAddress : public Object {
  public:
    KpSocketAddress();

    // Builds the address from a host name or dotted text (0.0.0.0 when the lookup fails).
    void Set(const String& host, int port);
    void Set(const KpSocketAddress& other);
    void Set(const sockaddr_in& raw);
    // Fills host and port from the raw address when they are out of date.
    void Validate();

    String Host() {
        Validate();
        return host_;
    }
    int Port() {
        Validate();
        return port_;
    }
    const sockaddr_in& Raw() const { return addr_; }
    sockaddr_in& Raw() { return addr_; }
    void Invalidate() { valid_ = false; }

  private:
    sockaddr_in addr_;
    bool valid_ = false;
    String host_;
    int port_ = 0;
};

// Protocol numbers of KpSocket::Open.
enum KpSocketProto { kProtoStream = 1, kProtoServer = 2, kProtoDatagram = 3 };

// One platform socket handle (-1 when closed).
class KpSocket : public Object {
  public:
    KpSocket();
    // Takes over an already open handle (an accepted connection).
    KpSocket(int handle, int proto);
    ~KpSocket() override;
    KpSocket(const KpSocket&) = delete;
    KpSocket& operator=(const KpSocket&) = delete;

    bool Open(int proto);
    void Close();
    // Ends both directions without releasing the handle: a call blocked on it returns.
    void Shutdown();
    bool IsOpen() const { return sock_ >= 0; }
    int Proto() const { return proto_; }

    bool Bind(const String& host, int port);
    bool Connect(const String& host, int port);
    bool Listen(int backlog);
    bool Accept();
    // A new socket owning the last accepted handle, or null when there is none.
    std::unique_ptr<KpSocket> Accepted();

    int Send(KpDataBuffer* buffer, int offset, int count);
    int Receive(KpDataBuffer* buffer, int offset, int count);
    int SendTo(KpDataBuffer* buffer, int offset, int count, KpSocketAddress* address);
    int ReceiveFrom(KpDataBuffer* buffer, int offset, int count, KpSocketAddress* address);

    void GetLocalAddress(KpSocketAddress* address);
    void GetRemoteAddress(KpSocketAddress* address);

  private:
    int sock_ = -1;
    int proto_ = 0;
    int accepted_ = -1;
};
