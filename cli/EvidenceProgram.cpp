// The part of `cartena evidence` that needs FFmpeg's libraries and Qt, run by that command with
// arguments it has checked:  cartena-evidence RECORDING DIR AT BEFORE AFTER COMMAND-LINE
// (AT -1: the default moment). The report is drawn on Qt's offscreen platform: no display needed.
#include "Utility/DiagnosticLog.h"
#include "Utility/Preferences.h"
#include "Utility/UserFolders.h"
#include "cli/ProgramBeside.h"
#include "cli/ProgressBar.h"
#include "evidence/EvidenceMediaMaker.h"
#include "outputs/EvidencePackage.h"

#include <QGuiApplication>

#include <unistd.h>

#include <charconv>
#include <chrono>
#include <clocale>
#include <cstdio>
#include <cstring>
#include <thread>

extern "C" {
#include <libavutil/log.h>
}

namespace {

// Qt's own remarks (no XDG_RUNTIME_DIR, font fallbacks) go to the diagnostic log: the command's
// standard error holds its progress and one line per failure.
void logQtMessage(QtMsgType, const QMessageLogContext&, const QString& message) {
    pmOutputDebugMsg("cartena evidence - Qt - " + message.toStdString());
}

const char* phaseText(int phase) {
    switch (phase) {
        case EvidenceProgress::Copying: return "copying the originals";
        case EvidenceProgress::Encoding: return "encoding the clip";
        case EvidenceProgress::Reporting: return "writing the report";
        case EvidenceProgress::Checking: return "checking the originals";
        case EvidenceProgress::Finishing: return "finishing";
        default: return "preparing";
    }
}

}  // namespace

int main(int argc, char** argv) {
    EvidenceRequest request;
    int at = -1;
    if (argc != 7 || !pmNumberArgument(argv[3], at) || !pmNumberArgument(argv[4], request.before) || !pmNumberArgument(argv[5], request.after)) {
        std::fputs("cartena-evidence: run by `cartena evidence`, which checks its arguments\n", stderr);
        return 2;
    }
    request.recording = argv[1];
    request.target = argv[2];
    if (at >= 0) request.moment = at;
    request.commandLine = argv[6];

    std::setlocale(LC_ALL, "");
    std::setlocale(LC_NUMERIC, "C");
    pmUserFolders();
    request.speedUnit = static_cast<std::int16_t>(pmGetProfileInt(kKeySpeedUnit, kDefaultSpeedUnit) != 0 ? 1 : 0);
    av_log_set_level(AV_LOG_ERROR);
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qInstallMessageHandler(logQtMessage);
    QGuiApplication application(argc, argv);

    EvidenceMediaMaker media;
    EvidenceProgress progress;
    const InterruptCancels interrupts(progress.canceled);

    const auto start = std::chrono::steady_clock::now();
    EvidenceResult result;
    std::atomic<bool> finished{false};
    std::thread worker([&] {
        result = pmMakeEvidencePackage(request, media, progress);
        finished = true;
    });
    const bool bar = ::isatty(STDERR_FILENO) != 0;
    auto draw = [&] {
        const double elapsed = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        pmDrawProgressBar(progress.permille / 1000.0, phaseText(progress.phase), elapsed);
    };
    while (!finished) {
        if (bar) draw();
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
    }
    worker.join();
    if (bar) {
        draw();
        std::fputc('\n', stderr);
    }

    switch (result.status) {
        case EvidenceResult::Status::Done:
            std::printf("Evidence package %s: %s, %s%s\n", request.target.c_str(), result.moment.c_str(),
                        result.pair ? "front and rear" : "one camera",
                        result.telemetry ? "" : ", no telemetry");
            for (const std::string& file : result.files) std::printf("  %s\n", file.c_str());
            std::printf("  SHA256SUMS\nSHA-256 of SHA256SUMS (note it down elsewhere):\n%s  SHA256SUMS\n",
                        result.sumsDigest.c_str());
            return 0;
        case EvidenceResult::Status::Canceled:
            std::fputs("cartena evidence: cancelled; nothing was left behind\n", stderr);
            return 130;
        case EvidenceResult::Status::Failed:
            break;
    }
    std::fprintf(stderr, "cartena evidence: %s%s%s%s\n", pmEvidenceMessage(result).c_str(),
                 result.detail.empty() ? "" : " (", result.detail.c_str(), result.detail.empty() ? "" : ")");
    return 1;
}
