// Software uploads through the vendor library, with the one process-wide
// progress state that turns the library's download events into the
// caller's (stage, percentage) call-back.
#include "TestProcedures.h"

#include "LibraryContext.h"

#include <algorithm>
#include <cstdint>

namespace kavor {

namespace {

// A transfer this small reports no percentage.
constexpr std::uint32_t kSmallestReportedTotal = 2000;

// Shared by every connection: two uploads at once would mix their figures.
struct ProgressState {
    std::uint32_t iStage = 0;
    std::uint32_t iTotal = 0;
    std::uint32_t iPercent = 0;
} g_progress;

void report(std::uint32_t iStage, std::uint32_t iPercent) {
    if (KavorProgressCallback cb = context().progressCallback)
        cb(static_cast<int>(iStage), static_cast<int>(iPercent));
}

unsigned char progressHandler(const QmslDownloadEvent* pEvent) {
    if (!pEvent) return 1;
    switch (pEvent->eventKind) {
    case QMSL_DOWNLOAD_EVENT_STAGE:
    case QMSL_DOWNLOAD_EVENT_STAGE_CHANGE:
        if (pEvent->value != g_progress.iStage) {
            g_progress.iStage = pEvent->value;
            report(g_progress.iStage, g_progress.iPercent);
        }
        break;
    case QMSL_DOWNLOAD_EVENT_TOTAL_SIZE: g_progress.iTotal = pEvent->value; break;
    case QMSL_DOWNLOAD_EVENT_PROGRESS:
        if (g_progress.iTotal > kSmallestReportedTotal) {
            // 64 bits: a large image's byte count times 100 overflows 32.
            const std::uint64_t iPercent = std::uint64_t{pEvent->value} * 100 / g_progress.iTotal;
            g_progress.iPercent = static_cast<std::uint32_t>(std::min<std::uint64_t>(iPercent, 100));
            report(g_progress.iStage, g_progress.iPercent);
        }
        break;
    default: break;
    }
    return 1;
}

// The frame of every upload: server mode only, progress handler registered,
// then the vendor call and its line.
template <typename Upload>
bool runUpload(TestProcedures& p, const char* pcName, Upload upload) {
    if (!KAVOR_GetLibraryMode()) {
        p.logStep(TestProcedures::StepInfo, "Temporary not supported - SLIB removed");
        return false;
    }
    g_progress = ProgressState{};
    QLIB_ConfigureCallBacks(p.handle(), nullptr, reinterpret_cast<void*>(&progressHandler), nullptr);
    p.logStep(TestProcedures::StepInfo, "\t%s() start", pcName);
    return p.logResult(upload() != 0, "%s()", pcName);
}

} // namespace

bool TestProcedures::uploadCefsFile2(const char* sFileName, const char* sPartitionFileName) {
    return runUpload(*this, "QLIB_UploadCEFS_File2",
                     [&] { return QLIB_UploadCEFS_File2(handle_, sFileName, sPartitionFileName); });
}

bool TestProcedures::uploadCefsFile(const char* sFileName, const char* sPartitionFileName) {
    return runUpload(*this, "QLIB_UploadCEFS_File",
                     [&] { return QLIB_UploadCEFS_File(handle_, sFileName, sPartitionFileName); });
}

bool TestProcedures::uploadMultiImage(QMSL_MULTI_IMAGE_PARAMS) {
    return runUpload(*this, "QLIB_UploadMultiImage",
                     [&] { return QLIB_UploadMultiImage(handle_, QMSL_MULTI_IMAGE_ARGS); });
}

} // namespace kavor
