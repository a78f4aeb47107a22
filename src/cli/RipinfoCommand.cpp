// tessival-cli ripinfo IMAGE|DRIVE: reads every audio track of a disc and prints the rip log's
// table (positions, CRC, AccurateRip checksums, disc ids) without converting anything.
#include <cstdio>

#include "cli/CliCommand.h"
#include "cli/RipOptions.h"
#include "joblist/DiscItems.h"
#include "platform/devices/CdTrackReader.h"
#include "platform/devices/RipLog.h"

namespace tessival::cli {
namespace {

constexpr const char* kUsage =
    "usage: tessival-cli ripinfo IMAGE|DRIVE [--read-offset=SAMPLES] [--lookup] [--accuraterip-url=URL]";

// Reads one track to its end; false with the problem when it cannot.
bool ReadTrack(CdDisc& disc, const DiscTrack& track, const RipSettings& settings, TrackRip& rip,
               DiscProblem& problem) {
    problem = disc.TrackProblem(track);
    if (problem) return false;
    CdReadOptions options;
    options.readOffset = settings.readOffset;
    const auto reader = CdTrackReader::Open(disc, track, options);
    if (!reader) {
        problem.kind = DiscProblem::Kind::BadImage;
        problem.source = disc.Source();
        return false;
    }
    std::vector<std::uint8_t> scratch;
    CdTrackReader::Status status;
    do {
        scratch.clear();
        status = reader->Read(64, scratch);
    } while (status == CdTrackReader::Status::Ok);
    if (status == CdTrackReader::Status::Unreadable) {
        problem = reader->Unreadable(disc);
        return false;
    }
    rip = reader->Rip(disc);
    return true;
}

int RipInfo(const std::vector<std::string>& args) {
    RipSettings settings;
    std::string source;
    for (const std::string& arg : args) {
        const OptionParse parse = ParseRipOption(arg, settings);
        const bool stray = parse == OptionParse::NotMine && (!source.empty() || arg.rfind("--", 0) == 0);
        if (parse == OptionParse::Bad || stray) return UsageError(kUsage);
        if (parse == OptionParse::NotMine) source = arg;
    }
    if (source.empty()) return UsageError(kUsage);
    DiscProblem problem;
    const auto disc = CdDisc::Open(source, problem);
    if (!disc) return Failure(DiscProblemText(problem));
    const DiscToc toc{disc->Source(), disc->Tracks(), disc->LeadOut()};
    RipLog log(toc);
    if (settings.lookUp) log.SetLookup(RipLog::LookUp(toc, settings.accurateRipUrl));
    bool allRead = true;
    for (const DiscTrack& track : disc->AudioTracks()) {
        TrackRip rip;
        if (ReadTrack(*disc, track, settings, rip, problem)) {
            log.Record(rip);
        } else {
            std::fprintf(stderr, "%s\n", DiscProblemText(problem).c_str());
            allRead = false;
        }
    }
    std::fputs(log.Text().c_str(), stdout);
    return allRead ? kExitOk : kExitFailure;
}

const CommandRegistration registration({"ripinfo", "IMAGE|DRIVE [--read-offset=S] [--lookup] [--accuraterip-url=URL]",
                                        "read a disc's audio tracks and print their rip log without converting",
                                        RipInfo});

}  // namespace
}  // namespace tessival::cli
