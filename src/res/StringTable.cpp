#include "res/StringTable.h"

#include <map>

namespace tessival {
namespace {

const std::map<int, std::string>& Table() {
    static const std::map<int, std::string> table = {
        {101, "关于 Tessival(&A)..."},
        {102, "Add "},
        {103, "Delete "},
        {104, "New List "},
        {105, "Save "},
        {106, "Load "},
        {107, "Edit "},
        {108, "Minimize "},
        {109, "Exit "},
        {110, "Move Up"},
        {111, "Move Down"},
        {112, "Play "},
        {113, "Help "},
        {115, "Start Convert !"},
        {116, "Stop "},
        {123, "All supported media files|*.asf;*.wav;*.wma;*.wmv;*.mpg;*.mpeg;*.dat;*.vob;*.avi;*.mp3;*.cda|"
              "All files(*.*)|*.*||NULL"},
        {124, "Tessival List(*.tsl)|*.tsl|All files(*.*)|*.*||NULL"},
        {125, "Convert Complete!"},
        {126, "All quality of \"%s\""},
        {127, "Fail to load qualities list.\n\nMaybe no qualities list on this dest type or your DirectX is too "
              "old.\n(Need Microsoft DirectX 8.0 or higher)"},
        {128, "You need install DirectX 8.0 or higher.\nWould you like download DirectX 8.0 now?"},
        {130, "The destination type is no longer available. \n\nWould you like download the encoder now ?"},
        {131, "Init..."},
        {132, "User abort"},
        {133, "Complete"},
        {135, "Error: The source type is unsupported on this computer. You can goto www.kestrane.com to get the "
              "encoders."},
        {136, "Error: Source file type is not compatible with user's specified type."},
        {137, "Error: Dest type is invalid on this computer. You can goto www.kestrane.com to get the encoder."},
        {138, "Error: Dest qualities is invalid. please try to use another Dest Qualities or Dest type."},
        {139, "At least one error while converting.\n\nplease double click error item to view error message."},
        {140, "Unspecific"},
        {141, "Invalid Disk(CDROM?)."},
        {142, "No following decoder detected on your computer.\n\n%s\nYou need install more codec to exert full "
              "power of Tessival.\nWould you like download codec package now?"},
        {143, "Converting is in processing, please stop before exit."},
        {144, "Error: The destination file is the source file itself. Choose another dest name or dest path."},
        {145, "Error: The source file is missing or cannot be read."},
        {146, "Error: The dest path does not exist or cannot be written."},
        {147, "Error: The source file is damaged or is not a media file."},
        {148, "The list file cannot be read."},
        {149, "The list file cannot be written."},
        {150, "Error: Cannot write the destination file: %s"},
        {151, "Stopped: the older file keeps its name; what was converted is in %s"},
        {152, "Error: Conversion failed: %s"},
        {165, "Error: Track %d has a sector that cannot be read at %s, even after retries. The disc is damaged "
              "or dirty, or the disc image is cut short."},
        {166, "Error: There is no disc in the drive %s."},
        {167, "Error: The disc image %s cannot be read: its file \"%s\" is missing."},
        {168, "Error: %s is not a disc image that can be read (damaged file or malformed cue sheet)."},
        {169, "Error: The disc in %s has no audio track %d."},
        {240, "Error: The disc image %s cannot be read: you have no permission to read \"%s\"."},
        {241, "Error: Track %d of the disc image %s has no audio: it ends where it starts."},
        {242, "Error: Track %d of the disc image %s starts past the end of the image's data: the image is cut "
              "short."},
        {243, "Error: Track %d read differently in the test and in the copy (CRC %s and %s). The disc is damaged "
              "or dirty."},
        {244, "Tessival rip log"},
        {245, "Track  Start     Length    Test CRC  Copy CRC  AR v1     AR v2      Reads  Fixups  Skips"},
        {246, "Not proven accurate: not every track was found in the AccurateRip database."},
        {247, "The test and copy CRCs of some tracks differ: those tracks were read differently twice."},
        {248, "accurately ripped (confidence %d)"},
        {249, "All tracks accurately ripped"},
        {180, "--------Files with tags----------"},
        {181, "For a LAME MP3 file: MP3 with an ID3v2.4 tag that every player reads.\n\n"
              "kbps 128 to 320 are constant bit rates; 192 is near CD for most ears.\n"
              "kbps 65, 85, 100, 115, 130, 165, 175, 190, 225 and 245 are the VBR levels V9 to V0, shown by\n"
              "their typical rate: 190 (V2) is the usual choice.\nFrequency: 44100 = CD."},
        {182, "For a FLAC file: lossless, every sample is kept.\n\n"
              "kbps is the compression level: 0 = fastest, 8 = smallest file, 5 = usual.\n"
              "Bit and Frequency \"Source\" keep the source's own, so the file holds exactly its samples:\n"
              "the usual choice. Otherwise Bit: 16 = CD, 24 = studio; Frequency: 44100 = CD, 48000 = video,\n"
              "96000 = studio."},
        {183, "For an Ogg Vorbis file: kbps is the average bit rate.\n\n"
              "128 sounds good, 160 to 192 is near CD for most ears.\nFrequency: 44100 = CD."},
        {184, "For an Opus file: kbps is the bit rate; Opus always runs at 48000.\n\n"
              "96 for music is near CD for most ears, 128 to 160 for the demanding, 32 to 48 for speech."},
        {205, "Source"},
        {185, "For an M4A AAC file: kbps is the bit rate.\n\n"
              "128 sounds good, 192 to 256 is near CD for most ears.\nFrequency: 44100 = CD."},
        {160, "Error: Row %s writes the same destination file %s. Choose another dest name or dest path."},
        {161, "This file was not added: its path is longer than %s bytes.\n%s"},
        {162, "This file was not added: its name is longer than %s bytes.\n%s"},
        {170, "Error: The capture device went away during the recording. What was recorded until then is kept."},
        {171, "Error: Audio was lost during the recording because the conversion could not keep up with the "
              "capture device."},
        {190, "Missing on this computer: %s"},
        {191, "On Debian they come with these packages:\n    sudo apt install %s"},
        {192, "Not added to the list, not a readable file: %s"},
        {175, "Other audio and video files (FLAC, M4A, AAC, Ogg, Opus, AIFF, WavPack, APE, Matroska, MP4, ...)"},
        {176, "Error: The source file has no audio."},
        {200, "Item %s of %s"},
        {201, "Items %s of %s"},
        {202, "about %s left"},
        {220, "Error: Cannot create the dest folder %s: %s"},
        {221, "Skipped (up to date)"},
        {222, "Naming"},
        {223, "Pattern:"},
        {224, "Below:"},
        {225, "each item's own dest path"},
        {226, "Portable names (FAT, NTFS, Windows shares)"},
        {227, "First:"},
        {228, "The path is too long for the list."},
        {229, "Naming..."},
        {260, "Recovered: what an interrupted conversion had written is kept in %s"},
        {261, "Error: %s is not an audio file, so it is not replaced. Choose another dest name or dest path."},
        {266, "Error: The source file is not a media file: no format Tessival reads recognises its content."},
        {267, "Error: The source file is damaged: its format is recognised, but no audio could be read from it."},
        {268, "Error: The source has %s channels, more than this dest type and quality can take."},
        {285, "Error: The source's audio codec (%s) is unsupported on this computer."},
        {269, "%s is being changed by another program, so the list was not saved. The list in this window is kept as "
              "it is: save it again in a moment."},
        {264, "%s, line %d: the INDEX 01 time cannot be read (it must be minutes:seconds:frames). Nothing was "
              "added from this cue sheet."},
        {265, "%s, line %d: the track starts after the end of its audio file. Nothing was added from this cue "
              "sheet."},
        {263, "Error: The capture device \"%s\" is not connected."},
        {262, "%s is not a regular file (it is a FIFO, socket, device or folder), so it is not read."},
        {270, "%s of %s items failed; see the lines above"},
        {271, "item %s (%s) is incomplete: it needs %s"},
        {272, "a dest type"},
        {273, "a quality"},
        {274, "a dest name"},
        {275, "a dest path"},
        {276, "a dest path on a writable drive"},
        {277, " and "},
        {278, "No sound server answers (PulseAudio or PipeWire), so no capture device can be listed."},
        {290, "%s has no audio that can be decoded, so its loudness is not known."},
        {291, "The gain tags of %s could not be written: %s"},
        {292, "Normalised by %s dB, not %s dB: more would have pushed the peaks over the ceiling."},
        {293, "ReplayGain tags"},
        {294, "None"},
        {295, "Track gain"},
        {296, "Track and album gain (albums by folder and album tag)"},
        {297, "Normalise loudness to %s LUFS, peaks under %s dBTP"},
        {298, "Normalising target..."},
        {299, "Normalising target"},
        {300, "Saving..."},
        {301, "Loudness to aim for (LUFS):"},
        {302, "Highest true peak (dBTP):"},
        {303, "%s LUFS"},
        {304, "Loudness %s LUFS, range %s LU, true peak %s dBTP, ReplayGain %s"},
        {305, "Loudness: silence, no gain to apply"},
        {250, "Restore the list you were working on?"},
        {251, "Stop the run to add files"},
        {252, "No capture device answered: no sound server is running, or it has no inputs. Start one, for "
              "example with \"systemctl --user start pipewire-pulse\" or \"pulseaudio --start\", then open this "
              "window again."},
        {253, "Recording %s"},
        {254, "This file does not look like a Tessival list: its first record is not an item. Add its %s "
              "records to the list anyway?"},
        {255, "Items to convert"},
        {256, "Progress"},
        {257, "Convert items at once"},
        {230, "MP3 tags as ID3v2.3, for older players"},
        {310, "Look up discs online (AccurateRip, MusicBrainz, gnudb)"},
        {311, "Read CD tracks twice and compare"},
        {312, "Drive read offset: %s samples..."},
        {313, "Drive read offset"},
        {314, "Samples the drive's reads are corrected by (AccurateRip's list of drives gives them):"},
    };
    return table;
}

}  // namespace

std::string LoadString(int id) {
    const auto& table = Table();
    auto it = table.find(id);
    return it == table.end() ? std::string() : it->second;
}

std::string LoadString(int id, std::initializer_list<std::string_view> args) {
    const std::string format = LoadString(id);
    std::string text;
    std::size_t from = 0;
    for (std::string_view arg : args) {
        const std::size_t at = format.find("%s", from);
        if (at == std::string::npos) break;
        text.append(format, from, at - from).append(arg);
        from = at + 2;
    }
    return text.append(format, from, std::string::npos);
}

std::string LoadStringWith(int id, const std::string& value) {
    return LoadString(id, {value});
}

}  // namespace tessival
