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
        {170, "Error: The capture device went away during the recording. What was recorded until then is kept."},
        {171, "Error: Audio was lost during the recording because the conversion could not keep up with the "
              "capture device."},
        {190, "Missing on this computer: %s"},
        {191, "On Debian they come with these packages:\n    sudo apt install %s"},
        {192, "Not added to the list, not a readable file: %s"},
    };
    return table;
}

}  // namespace

std::string LoadString(int id) {
    const auto& table = Table();
    auto it = table.find(id);
    return it == table.end() ? std::string() : it->second;
}

std::string LoadStringWith(int id, const std::string& value) {
    std::string text = LoadString(id);
    if (const auto at = text.find("%s"); at != std::string::npos) text.replace(at, 2, value);
    return text;
}

}  // namespace tessival
