// The asynchronous socket and its three operations. Closing shuts the connection down at once
// (a worker blocked in a receive returns) but releases the handle only when both queues are
// idle, so a worker never calls into a handle number the system has already handed out again.
// An abandoned socket keeps its former user's buffers until its last operation has completed,
// then removes itself from the event pump and is deleted at the end of its own update.
#include "net/c_Socket.h"

#include "runtime/kp_error.h"

namespace {

struct ProtocolName {
    const char16_t* name;
    int proto;
};

constexpr ProtocolName kProtocols[] = {
    {u"stream", kProtoStream},
    {u"server", kProtoServer},
    {u"datagram", kProtoDatagram},
};

} // namespace

c_AsyncConnectOp::c_AsyncConnectOp(KpSocket* socket, const String& host, int port,
                                   c_IOnConnectComplete* onComplete)
    : socket_(socket), host_(host), port_(port), onComplete_(onComplete) {}

int c_AsyncConnectOp::p_Execute__UNSAFE__(c_Socket*) {
    connected_ = socket_->Connect(host_, port_);
    return 0;
}

int c_AsyncConnectOp::p_Complete(c_Socket* source) {
    // A socket closed while connecting stays closed.
    if (connected_ && source->p_IsOpen()) source->MarkConnected();
    if (onComplete_) onComplete_->OnConnectComplete(connected_, source);
    return 0;
}

int c_AsyncSendOp::p_Execute__UNSAFE__(c_Socket*) {
    count_ = socket_->Send(data_, offset_, count_);
    return 0;
}

int c_AsyncSendOp::p_Complete(c_Socket* source) {
    if (onComplete_) onComplete_->OnSendComplete(data_, offset_, count_, source);
    return 0;
}

int c_AsyncReceiveOp::p_Execute__UNSAFE__(c_Socket*) {
    count_ = socket_->Receive(data_, offset_, count_);
    return 0;
}

int c_AsyncReceiveOp::p_Complete(c_Socket* source) {
    if (onComplete_) onComplete_->OnReceiveComplete(data_, offset_, count_, source);
    return 0;
}

c_Socket* c_Socket::m_new(const String& protocol) {
    int proto = 0;
    for (const ProtocolName& entry : kProtocols) {
        if (protocol == entry.name) proto = entry.proto;
    }
    if (proto == 0) kpError(std::string_view("Illegal socket protocol"));
    socket_ = std::make_unique<KpSocket>();
    if (!socket_->Open(proto)) kpError(std::string_view("Socket open failed"));
    proto_ = proto;
    state_ = kOpen;
    p_Start();
    return this;
}

c_Socket* c_Socket::m_new2(std::unique_ptr<KpSocket> socket, int proto, int state) {
    socket_ = std::move(socket);
    proto_ = proto;
    state_ = state;
    p_Start();
    return this;
}

void c_Socket::p_Start() {
    readQueue_ = std::make_unique<c_AsyncQueue>(this);
    writeQueue_ = std::make_unique<c_AsyncQueue>(this);
    kp_asyncevent_AddAsyncEventSource(this);
}

void c_Socket::p_ConnectAsync(const String& host, int port, c_IOnConnectComplete* onComplete) {
    if (!p_IsOpen() || p_IsConnected() || p_IsListening()) return;
    readQueue_->p_Enqueue(
        std::make_unique<c_AsyncConnectOp>(socket_.get(), host, port, onComplete));
}

void c_Socket::p_SendAsync(c_DataBuffer* data, int offset, int count,
                           c_IOnSendComplete* onComplete) {
    if (!p_IsConnected()) return;
    writeQueue_->p_Enqueue(
        std::make_unique<c_AsyncSendOp>(socket_.get(), data, offset, count, onComplete));
}

void c_Socket::p_ReceiveAsync(c_DataBuffer* data, int offset, int count,
                              c_IOnReceiveComplete* onComplete) {
    if (!p_IsConnected()) return;
    readQueue_->p_Enqueue(
        std::make_unique<c_AsyncReceiveOp>(socket_.get(), data, offset, count, onComplete));
}

int c_Socket::p_UpdateAsyncEvents() {
    readQueue_->p_UpdateAsyncEvents();
    writeQueue_->p_UpdateAsyncEvents();
    releaseWhenIdle();
    // Last step, touching nothing after: an abandoned socket with nothing left to deliver
    // goes away. Its queues wait for a worker that is just storing its final status.
    if (abandoned_ && !closePending_ && readQueue_->p_Drained() && writeQueue_->p_Drained()) {
        kp_asyncevent_RemoveAsyncEventSource(this);
        delete this;
    }
    return 0;
}

void c_Socket::p_Close() {
    if (socket_ && socket_->IsOpen()) {
        socket_->Shutdown();
        closePending_ = true;
        releaseWhenIdle();
    }
    state_ = 0;
}

void c_Socket::p_Abandon(std::vector<std::unique_ptr<c_DataBuffer>> buffers) {
    p_Close();
    readQueue_->p_DropCallbacks();
    writeQueue_->p_DropCallbacks();
    for (auto& buffer : buffers) keptBuffers_.push_back(std::move(buffer));
    abandoned_ = true;
}

void c_Socket::releaseWhenIdle() {
    if (!closePending_ || !readQueue_->p_Idle() || !writeQueue_->p_Idle()) return;
    socket_->Close();
    closePending_ = false;
}
