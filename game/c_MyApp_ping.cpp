// The start-up ping: one fire-and-forget HTTP GET ("housecall") that tells an endpoint which
// game started. p_OnCreate sends it only when kp_BT3_J_On_Allow is set; the answer arrives
// through the event pump on the main thread. The game owns the request until it answers and
// then drops it; a request that never answers leaves m_pingDone at 0, and nothing waits.
#include "game/c_MyApp.h"
#include "runtime/kp_error.h"

int c_MyApp::p_GetURL(const String& url, const String& query) {
    m_pingText = u"N/A";
    // A request still in flight is given up (its connection closes, its answer is ignored).
    m_pingRequest = std::make_unique<c_HttpRequest>();
    m_pingRequest->m_new2(u"GET", url + u"?" + query, this);
    m_pingRequest->p_Send();
    kpPrint(std::string_view("Requesting URL"));
    m_pingDone = 0;
    return 0;
}

int c_MyApp::p_OnHttpRequestComplete(c_HttpRequest* request) {
    if (!request || request != m_pingRequest.get()) return 0;
    kpPrint(u"Http GET complete! " + kpIntToString(request->p_Status()));
    m_pingDone = 1;
    m_pingText = request->p_ResponseText();
    if (!m_pingText.empty()) kp_BT3_J_On_Able = 1;
    m_pingRequest.reset(); // answered: the request may go, even from inside its callback
    return 0;
}
