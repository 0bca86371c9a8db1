// The asynchronous socket: a blocking KpSocket driven by two operation queues (connects and
// receives on one, sends on the other), each with its own worker thread while it has work.
// Results come back as callbacks on the main thread from kp_asyncevent_UpdateAsyncEvents.
// A socket registers itself as an event source and lives until it is abandoned and drained:
// create it with new and never delete it directly.
#pragma once

#include <memory>
#include <vector>

#include "net/c_AsyncQueue.h"
#include "net/c_DataBuffer.h"
#include "net/kp_asyncevent.h"
#include "net/kp_socket.h"

class c_Socket;

// Callback interfaces; their targets, and the buffers handed to an operation, must outlive it.
class c_IOnConnectComplete {
  public:
    virtual ~c_IOnConnectComplete() = default;
    virtual void OnConnectComplete(bool connected, c_Socket* source) = 0;
};

class c_IOnSendComplete {
  public:
    virtual ~c_IOnSendComplete() = default;
    virtual void OnSendComplete(c_DataBuffer* data, int offset, int count, c_Socket* source) = 0;
};

class c_IOnReceiveComplete {
  public:
    virtual ~c_IOnReceiveComplete() = default;
    virtual void OnReceiveComplete(c_DataBuffer* data, int offset, int count, c_Socket* source) = 0;
};

class c_AsyncConnectOp : public c_AsyncOp {
  public:
    c_AsyncConnectOp(KpSocket* socket, const String& host, int port,
                     c_IOnConnectComplete* onComplete);
    int p_Complete(c_Socket* source) override;
    int p_Execute__UNSAFE__(c_Socket* source) override;
    void p_DropCallback() override { onComplete_ = nullptr; }

  private:
    KpSocket* socket_;
    String host_; // the op's own copy: nothing the main thread holds is read by the worker
    int port_;
    c_IOnConnectComplete* onComplete_;
    bool connected_ = false;
};

class c_AsyncSocketIoOp : public c_AsyncOp {
  protected:
    c_AsyncSocketIoOp(KpSocket* socket, c_DataBuffer* data, int offset, int count)
        : socket_(socket), data_(data), offset_(offset), count_(count) {}

    KpSocket* socket_;
    c_DataBuffer* data_;
    int offset_;
    int count_; // bytes asked for; after execution the platform's result
};

class c_AsyncSendOp : public c_AsyncSocketIoOp {
  public:
    c_AsyncSendOp(KpSocket* socket, c_DataBuffer* data, int offset, int count,
                  c_IOnSendComplete* onComplete)
        : c_AsyncSocketIoOp(socket, data, offset, count), onComplete_(onComplete) {}
    int p_Complete(c_Socket* source) override;
    int p_Execute__UNSAFE__(c_Socket* source) override;
    void p_DropCallback() override { onComplete_ = nullptr; }

  private:
    c_IOnSendComplete* onComplete_;
};

class c_AsyncReceiveOp : public c_AsyncSocketIoOp {
  public:
    c_AsyncReceiveOp(KpSocket* socket, c_DataBuffer* data, int offset, int count,
                     c_IOnReceiveComplete* onComplete)
        : c_AsyncSocketIoOp(socket, data, offset, count), onComplete_(onComplete) {}
    int p_Complete(c_Socket* source) override;
    int p_Execute__UNSAFE__(c_Socket* source) override;
    void p_DropCallback() override { onComplete_ = nullptr; }

  private:
    c_IOnReceiveComplete* onComplete_;
};

class c_Socket : public Object, public c_IAsyncEventSource {
  public:
    // State bits.
    static constexpr int kOpen = 1;
    static constexpr int kConnectDone = 2; // set together with kConnected by a connect
    static constexpr int kConnected = 4;
    static constexpr int kListening = 8;

    // Opens a socket: "stream", "server" or "datagram"; other names and open failures are fatal.
    c_Socket* m_new(const String& protocol);
    // Wraps an open handle (an accepted connection) with the given protocol and state.
    c_Socket* m_new2(std::unique_ptr<KpSocket> socket, int proto, int state);

    void p_ConnectAsync(const String& host, int port, c_IOnConnectComplete* onComplete);
    void p_SendAsync(c_DataBuffer* data, int offset, int count, c_IOnSendComplete* onComplete);
    void p_ReceiveAsync(c_DataBuffer* data, int offset, int count,
                        c_IOnReceiveComplete* onComplete);
    void UpdateAsyncEvents() override { p_UpdateAsyncEvents(); }
    int p_UpdateAsyncEvents();

    bool p_IsOpen() const { return (state_ & kOpen) != 0; }
    bool p_IsConnected() const { return (state_ & kConnected) != 0; }
    bool p_IsListening() const { return (state_ & kListening) != 0; }
    int p_State() const { return state_; }
    // Closes the connection; queued operations still run (and fail) and complete.
    void p_Close();
    // True when no worker is running or about to run one of this socket's operations.
    bool p_Idle() const { return readQueue_->p_Idle() && writeQueue_->p_Idle(); }
    // Gives the socket up for good (its user is going away or starting afresh): closes it,
    // drops the callbacks of every operation not yet completed, and keeps `buffers` (those
    // the operations read or fill) alive until no worker can touch them. Once everything
    // queued has completed, the socket leaves the event pump and deletes itself there.
    void p_Abandon(std::vector<std::unique_ptr<c_DataBuffer>> buffers);

    // Marks a finished connect (main thread, from the connect op's completion).
    void MarkConnected() { state_ |= kConnectDone | kConnected; }

  private:
    void p_Start();
    // Releases the handle once no worker can still be using it.
    void releaseWhenIdle();

    std::unique_ptr<KpSocket> socket_;
    int proto_ = 0;
    int state_ = 0;
    std::unique_ptr<c_AsyncQueue> readQueue_;
    std::unique_ptr<c_AsyncQueue> writeQueue_;
    bool closePending_ = false;
    bool abandoned_ = false;
    std::vector<std::unique_ptr<c_DataBuffer>> keptBuffers_;
};
