// gxtkSample: the owner of one OpenAL buffer, handing it to the discard list when let go.
#include "audio/gxtkSample.h"

#include "runtime/kp_error.h"

std::vector<ALuint>& kpAudioDiscardList() {
    static std::vector<ALuint> discarded;
    return discarded;
}

gxtkSample::~gxtkSample() {
    kpPrint("Discarding sample");
    Discard();
}

void gxtkSample::Discard() {
    if (buffer == 0) return;
    kpAudioDiscardList().push_back(buffer);
    buffer = 0;
}
