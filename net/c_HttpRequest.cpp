// The HTTP/1.0 request's steps, each run from a socket completion on the main thread. The
// header block is read line by line from the receive buffer; an incomplete line is moved to
// the front and the next receive appends to it. The body is decoded chunk by chunk as UTF-8.
// Nothing runs after the completion callback, and a connection given up (on deletion or
// reuse) takes the buffers its worker may still touch, so either is safe at any moment.
#include "net/c_HttpRequest.h"

namespace {

constexpr char16_t kLineFeed = 10;
constexpr char16_t kBlank = 32; // trimmed: this and every control character
constexpr std::u16string_view kStatusPrefix = u"HTTP/";
constexpr int kStatusParts = 3; // version, code, reason

String trim(const String& line) {
    size_t first = 0;
    size_t last = line.size();
    while (first < last && line[first] <= kBlank) ++first;
    while (last > first && line[last - 1] <= kBlank) --last;
    return line.substr(first, last - first);
}

String upper(String text) {
    for (char16_t& c : text) {
        if (c >= 'a' && c <= 'z') c = static_cast<char16_t>(c - 'a' + 'A');
    }
    return text;
}

// Splits at every single space: two spaces in a row give an empty part.
std::vector<String> splitAtSpaces(const String& text) {
    std::vector<String> parts;
    size_t start = 0;
    for (size_t at = text.find(u' '); at != String::npos; at = text.find(u' ', start)) {
        parts.push_back(text.substr(start, at - start));
        start = at + 1;
    }
    parts.push_back(text.substr(start));
    return parts;
}

String join(const std::vector<String>& lines, std::u16string_view separator) {
    String text;
    for (size_t i = 0; i < lines.size(); ++i) {
        if (i > 0) text += separator;
        text += lines[i];
    }
    return text;
}

} // namespace

c_HttpRequest::c_HttpRequest()
    : sendBuffer((new c_DataBuffer())->m_new(kSendBufferSize)),
      receiveBuffer((new c_DataBuffer())->m_new(kReceiveBufferSize)) {}

c_HttpRequest::~c_HttpRequest() {
    abandonSocket(false);
}

void c_HttpRequest::abandonSocket(bool replace) {
    if (!socket) return;
    std::vector<std::unique_ptr<c_DataBuffer>> inUse;
    if (!replace || !socket->p_Idle()) {
        inUse.push_back(std::move(sendBuffer));
        inUse.push_back(std::move(receiveBuffer));
        inUse.push_back(std::move(bodyData));
    }
    socket->p_Abandon(std::move(inUse));
    socket = nullptr;
    if (!replace) return;
    if (!sendBuffer) sendBuffer.reset((new c_DataBuffer())->m_new(kSendBufferSize));
    if (!receiveBuffer) receiveBuffer.reset((new c_DataBuffer())->m_new(kReceiveBufferSize));
}

c_HttpRequest* c_HttpRequest::m_new2(const String& method, const String& target,
                                     c_IOnHttpRequestComplete* callback) {
    p_Open(method, target, callback);
    return this;
}

void c_HttpRequest::p_Open(const String& method, const String& target,
                           c_IOnHttpRequestComplete* callback) {
    // The old connection's worker may still be filling the receive buffer: it keeps those.
    abandonSocket(true);
    req = method;
    url.m_new(target, u"http", kDefaultPort);
    onComplete = callback;
    bodyData.reset();
    bodyLength = 0;
    status = -1;
    bodyParts.reset();
    responseText.clear();
    bytesReceived = 0;
    header = {req + u" " + url.p_FullPath() + u" HTTP/1.0", u"Host: " + url.p_Domain()};
    finished_ = false;
}

void c_HttpRequest::p_Send() {
    abandonSocket(true); // a second send starts a new connection
    socket = (new c_Socket())->m_new(u"stream");
    socket->p_ConnectAsync(url.p_Domain(), url.p_Port(), this);
}

void c_HttpRequest::p_Send2(const String& data, const String& mimeType, const String& encoding) {
    abandonSocket(true); // before the new body exists, so it stays with this request
    // Three bytes per code unit is the most either encoding produces.
    bodyData.reset((new c_DataBuffer())->m_new(static_cast<int>(data.size()) * 3));
    bodyLength = bodyData->p_PokeString(0, data, encoding);
    if (!mimeType.empty()) header.push_back(u"Content-Type: " + mimeType);
    header.push_back(u"Content-Length: " + kpIntToString(bodyLength));
    p_Send();
}

void c_HttpRequest::OnConnectComplete(bool connected, c_Socket* source) {
    if (finished_ || source != socket) return;
    if (!connected) {
        finish();
        return;
    }
    header.push_back(String());
    header.push_back(String());
    String text = join(header, u"\r\n");
    header.clear();
    // "ascii" writes one byte per unit: a longer header gets a buffer that holds all of it.
    int needed = static_cast<int>(text.size());
    if (needed > sendBuffer->p_Length()) sendBuffer.reset((new c_DataBuffer())->m_new(needed));
    int produced = sendBuffer->p_PokeString(0, text, u"ascii");
    socket->p_SendAsync(sendBuffer.get(), 0, produced, this);
    receiveFrom(0);
}

void c_HttpRequest::OnSendComplete(c_DataBuffer*, int, int, c_Socket* source) {
    if (finished_ || source != socket) return;
    if (bodyLength > 0 && socket->p_IsConnected()) {
        socket->p_SendAsync(bodyData.get(), 0, bodyLength, this);
    }
    bodyLength = 0;
}

void c_HttpRequest::OnReceiveComplete(c_DataBuffer* data, int offset, int count, c_Socket* source) {
    if (finished_ || source != socket) return;
    if (count == 0) { // the server closed the connection
        finish();
        return;
    }
    if (count < 0) { // a broken connection: what arrived may be cut anywhere
        fail();
        return;
    }
    if (!bodyParts) {
        readHeaderLines(offset + count);
        return;
    }
    bytesReceived += count;
    bodyParts->push_back(data->p_PeekString(offset, count, u"utf8"));
    receiveFrom(0);
}

void c_HttpRequest::readHeaderLines(int end) {
    const unsigned char* bytes = receiveBuffer->Data();
    int start = 0;
    for (int i = 0; i < end; ++i) {
        if (bytes[i] != kLineFeed) continue;
        String line = trim(receiveBuffer->p_PeekString(start, i - start, u"ascii"));
        start = i + 1;
        if (line.empty()) {
            endHeaderBlock(start, end);
            return;
        }
        header.push_back(line);
    }
    // Keep the incomplete last line at the front and append the next receive to it.
    int rest = end - start;
    if (start > 0 && rest > 0) receiveBuffer->p_CopyBytes(start, receiveBuffer.get(), 0, rest);
    if (rest >= receiveBuffer->p_Length()) { // one line fills the buffer: no room to go on
        fail();
        return;
    }
    receiveFrom(rest);
}

void c_HttpRequest::endHeaderBlock(int bodyStart, int end) {
    if (header.empty()) {
        finish();
        return;
    }
    std::vector<String> parts = splitAtSpaces(upper(header.front()));
    if (parts.size() < kStatusParts || !parts[0].starts_with(kStatusPrefix)) {
        finish();
        return;
    }
    status = kpAtoi(parts[1]);
    bodyParts.emplace();
    if (bodyStart < end) {
        bodyParts->push_back(receiveBuffer->p_PeekString(bodyStart, end - bodyStart, u"utf8"));
    }
    receiveFrom(0);
}

void c_HttpRequest::receiveFrom(int offset) {
    receiveAt = offset;
    socket->p_ReceiveAsync(receiveBuffer.get(), offset, receiveBuffer->p_Length() - offset, this);
}

// The callback is the last thing done: the listener may delete the request inside it.
void c_HttpRequest::finish() {
    if (finished_) return;
    finished_ = true;
    if (socket) socket->p_Close();
    if (bodyParts) responseText = join(*bodyParts, u"");
    if (onComplete) onComplete->OnHttpRequestComplete(this);
}

void c_HttpRequest::fail() {
    status = -1;
    bodyParts.reset();
    finish();
}
