#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/media/FilterRegistry.h"

namespace tessival {

class Shell;

// One filter the program needs, as the start-up probe found it.
struct ProbedComponent {
    std::string label;                  // "PCM Encoder", "WAV Dest", "MP3 Encoder", ...
    int messageId = 0;                  // the message that reports it missing: 128 or 142
    std::vector<std::string> packages;  // the Debian packages that provide it
    std::string filterName;             // the friendly name of the filter found; empty when missing or unusable

    bool Present() const { return !filterName.empty(); }
};

// What the probe offers for missing components: a message with OK and Cancel, and the page that
// OK opens.
struct ProbeOffer {
    int messageId = 0;
    std::string text;
    std::string target;
};

// The start-up check of the filters and encoders the program relies on. A component counts as
// present only when it is usable: an encoder must offer at least one output format, a decoder
// must accept its kind of stream.
class ProbeEnvironment {
public:
    explicit ProbeEnvironment(Shell& shell,
                              std::shared_ptr<const media::FilterRegistry> registry = media::SystemRegistry());

    // Looks for every component; shows nothing itself (an encoder without stream configuration
    // reports that through the shell, as listing its formats always does).
    void Probe();
    const std::vector<ProbedComponent>& Components() const { return components_; }
    bool NothingMissing() const;
    // Message 128 when the PCM encoder or WAV Dest is missing, then message 142 naming the missing
    // encoders and decoders, each with the Debian packages that bring them.
    std::vector<ProbeOffer> Offers() const;

    // The start-up sequence's step: probe, then show each offer; only IDOK opens its page.
    void Run();

private:
    Shell& shell_;
    std::shared_ptr<const media::FilterRegistry> registry_;
    std::vector<ProbedComponent> components_;
};

}  // namespace tessival
