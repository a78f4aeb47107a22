#include <gtest/gtest.h>

#include <cerrno>

#include "engine/conversion/ConversionOutcome.h"
#include "res/ResourceIds.h"

namespace tessival {
namespace {

// Every way an outcome becomes the row's words, in the one place that does it.
TEST(ConversionOutcome, BecomesTheRowsText) {
    struct Case {
        ConversionOutcome outcome;
        std::string text;
    };
    ConversionOutcome noReason;
    noReason.converted = true;
    ConversionOutcome disk;
    disk.stringId = IDS_DEST_WRITE_FAILED;
    disk.cause = media::HResultFromErrno(ENOSPC);
    ConversionOutcome unknown;
    unknown.stringId = IDS_CONVERSION_FAILED;
    unknown.cause = media::VFW_E_TYPE_NOT_ACCEPTED;
    ConversionOutcome damaged;
    damaged.stringId = IDS_SOURCE_DAMAGED;
    damaged.cause = media::VFW_E_INVALID_FILE_FORMAT;  // its text carries no cause
    ConversionOutcome channels;
    channels.stringId = IDS_TOO_MANY_CHANNELS;
    channels.detail = "12";
    ConversionOutcome disc;
    disc.detail = "Error: There is no disc in the drive /dev/sr0.";
    // A converted output that could not take its name fails its item; one that did keeps it done.
    ConversionOutcome uncommitted;
    uncommitted.converted = true;
    uncommitted.SettleCommit(EISDIR);
    ConversionOutcome committed;
    committed.converted = true;
    committed.SettleCommit(0);
    const Case cases[] = {
        {noReason, ""},
        {disk, "Error: Cannot write the destination file: No space left on device"},
        {unknown, "Error: Conversion failed: VFW_E_TYPE_NOT_ACCEPTED (0x8004022A)"},
        {damaged, "Error: The source file is damaged or is not a media file."},
        {channels, "Error: The source has 12 channels, more than this dest type and quality can take."},
        {disc, "Error: There is no disc in the drive /dev/sr0."},
        {uncommitted, "Error: Cannot write the destination file: Is a directory"},
        {committed, ""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(StatusText(c.outcome), c.text);
        EXPECT_EQ(c.outcome.HasReason(), !c.text.empty()) << c.text;
        EXPECT_EQ(c.outcome.converted, c.text.empty()) << c.text;
    }
}

}  // namespace
}  // namespace tessival
