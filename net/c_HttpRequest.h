// One HTTP/1.0 request over an asynchronous stream socket: connect, send the header (and a
// body, if any), read the status line and headers, collect the body until the server closes,
// then call the completion callback once, on the main thread, after the socket is closed.
// Nothing times out. Failures finish the request with status -1 and no response text.
#pragma once

#include <memory>
#include <optional>
#include <vector>

#include "net/c_DataBuffer.h"
#include "net/c_Socket.h"
#include "net/c_Url.h"

class c_HttpRequest;

class c_IOnHttpRequestComplete {
  public:
    virtual ~c_IOnHttpRequestComplete() = default;
    virtual void OnHttpRequestComplete(c_HttpRequest* request) = 0;
};

// The request may be deleted at any time, its own completion callback included: it then hands
// its socket, with the buffers queued operations still use, over to be released later.
class c_HttpRequest : public Object,
                      public c_IOnConnectComplete,
                      public c_IOnSendComplete,
                      public c_IOnReceiveComplete {
  public:
    static constexpr int kSendBufferSize = 4096;
    static constexpr int kReceiveBufferSize = 16384;
    static constexpr int kDefaultPort = 80;

    c_HttpRequest();
    ~c_HttpRequest() override;
    c_HttpRequest(const c_HttpRequest&) = delete;
    c_HttpRequest& operator=(const c_HttpRequest&) = delete;
    c_HttpRequest* m_new2(const String& req, const String& url,
                          c_IOnHttpRequestComplete* onComplete);

    // Resets the request for method req and target url; nothing is sent yet. A connection
    // still open from an earlier use is closed, and nothing it delivers reaches this request.
    void p_Open(const String& req, const String& url, c_IOnHttpRequestComplete* onComplete);
    // Connects and sends the header.
    void p_Send();
    // Sends data as the body, encoded with encoding, with its Content-Type and Content-Length.
    void p_Send2(const String& data, const String& mimeType, const String& encoding);

    int p_Status() const { return status; }
    String p_ResponseText() const { return responseText; }

    void OnConnectComplete(bool connected, c_Socket* source) override;
    void OnSendComplete(c_DataBuffer* data, int offset, int count, c_Socket* source) override;
    void OnReceiveComplete(c_DataBuffer* data, int offset, int count, c_Socket* source) override;

    String req;
    c_Url url;
    c_IOnHttpRequestComplete* onComplete = nullptr;
    std::unique_ptr<c_DataBuffer> bodyData;
    int bodyLength = 0;
    int status = -1;
    std::optional<std::vector<String>> bodyParts; // none until the header block has ended
    String responseText;
    int bytesReceived = 0;
    std::vector<String> header;
    c_Socket* socket = nullptr; // the connection in use; abandoned when the request moves on
    std::unique_ptr<c_DataBuffer> sendBuffer;
    std::unique_ptr<c_DataBuffer> receiveBuffer;
    int receiveAt = 0; // where in receiveBuffer the pending receive writes

  private:
    // Reads header lines from the receive buffer's first `end` bytes.
    void readHeaderLines(int end);
    // Ends the header block: checks the status line and starts the body.
    void endHeaderBlock(int bodyStart, int end);
    void receiveFrom(int offset);
    // Closes the socket, joins the body and calls the callback, once.
    void finish();
    // Finishes with status -1 and nothing of the body.
    void fail();
    // Gives the connection up: its socket is closed and calls nothing here any more. When a
    // worker may still read or fill the buffers, they go with the socket; with `replace`
    // the request gets new ones.
    void abandonSocket(bool replace);

    bool finished_ = false;
};
