// SPDX-License-Identifier: GPL-3.0-or-later
#include "ThemeSound.h"

#include <cstdlib>
#include <sstream>
#include <sys/stat.h>
#include <vector>

namespace {
std::string environment(const char* name)
{
    const char* value = std::getenv(name);
    return value ? value : "";
}

// Where sound themes live, most personal first.
std::vector<std::string> soundFolders()
{
    std::vector<std::string> folders;
    std::string home = environment("XDG_DATA_HOME");
    if (home.empty() && !environment("HOME").empty())
        home = environment("HOME") + "/.local/share";
    if (!home.empty())
        folders.push_back(home + "/sounds");
    std::string shared = environment("XDG_DATA_DIRS");
    if (shared.empty())
        shared = "/usr/local/share:/usr/share";
    std::istringstream dirs(shared);
    for (std::string dir; std::getline(dirs, dir, ':');) {
        if (!dir.empty())
            folders.push_back(dir + "/sounds");
    }
    return folders;
}

bool isPlainFile(const std::string& path)
{
    struct stat info
    {};
    return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}
} // namespace

std::string ThemeSound::find(const std::string& event)
{
    const std::vector<std::string> folders = soundFolders();
    for (std::string name = event; !name.empty();) {
        for (const char* place : {"/freedesktop/stereo/", "/"}) {
            for (const std::string& folder : folders) {
                for (const char* extension : {".oga", ".ogg", ".wav"}) {
                    const std::string path = folder + place + name + extension;
                    if (isPlainFile(path))
                        return path;
                }
            }
        }
        const auto dash = name.rfind('-');
        name = dash == std::string::npos ? std::string() : name.substr(0, dash);
    }
    return {};
}
