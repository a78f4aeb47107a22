// tessival-cli filters: the system's registered filters by category, with their pins.
#include <cstdio>

#include "cli/CliCommand.h"
#include "platform/media/DeviceEnumerator.h"

namespace tessival::cli {
namespace {

using namespace tessival::media;

void PrintPins(const Moniker& moniker) {
    std::shared_ptr<IBaseFilter> filter;
    if (FAILED(moniker.BindToObject(filter))) return;
    for (const auto& pin : PinsOf(*filter)) {
        PIN_INFO info;
        if (FAILED(pin->QueryPinInfo(info))) continue;
        std::printf("    %-3s %s\n", info.dir == PINDIR_INPUT ? "in" : "out", info.achName.c_str());
    }
}

int Filters(const std::vector<std::string>& args) {
    if (!args.empty()) return UsageError("usage: tessival-cli filters");
    const DeviceEnumerator enumerator(SystemRegistry());
    for (const Guid& category :
         {CLSID_LegacyAmFilterCategory, CLSID_AudioCompressorCategory, CLSID_AudioInputDeviceCategory}) {
        std::printf("%s\n", CategoryName(category).c_str());
        std::vector<Moniker> monikers;
        enumerator.CreateClassEnumerator(category, monikers);
        for (const Moniker& moniker : monikers) {
            std::string name;
            if (FAILED(moniker.ReadFriendlyName(name))) continue;
            std::printf("  %s\n", name.c_str());
            PrintPins(moniker);
        }
    }
    return kExitOk;
}

const CommandRegistration registration({"filters", "", "list the registered filters by category, with their pins",
                                        Filters});

}  // namespace
}  // namespace tessival::cli
