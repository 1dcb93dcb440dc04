// SPDX-License-Identifier: GPL-3.0-or-later
#include "SoundFile.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sndfile.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {
std::string kindOf(mode_t mode)
{
    if (S_ISFIFO(mode))
        return "is a FIFO, not a sound file";
    if (S_ISCHR(mode) || S_ISBLK(mode))
        return "is a device, not a sound file";
    if (S_ISDIR(mode))
        return "is a folder, not a sound file";
    if (S_ISSOCK(mode))
        return "is a socket, not a sound file";
    return "is not a plain file";
}

// The most channels the sound server takes in one stream.
constexpr int mostChannels = 32;
} // namespace

std::unique_ptr<SoundFile> SoundFile::open(const std::string& path, std::string* whyNot)
{
    // Without O_NONBLOCK a FIFO would wait here for a writer that never comes.
    const int descriptor = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (descriptor < 0) {
        *whyNot = std::strerror(errno);
        return nullptr;
    }
    const auto refuse = [&](const std::string& reason) {
        ::close(descriptor);
        *whyNot = reason;
        return nullptr;
    };
    struct stat info
    {};
    if (::fstat(descriptor, &info) != 0)
        return refuse(std::strerror(errno));
    if (!S_ISREG(info.st_mode))
        return refuse(kindOf(info.st_mode));
    if (info.st_size > largestBytes)
        return refuse("is larger than 200 MB");
    SF_INFO format{};
    SNDFILE* file = sf_open_fd(descriptor, SFM_READ, &format, SF_FALSE);
    if (!file)
        return refuse(std::string("is not a sound file the clock can play (") +
                      sf_strerror(nullptr) + ")");
    if (format.frames <= 0 || format.samplerate <= 0 || format.channels <= 0 ||
        format.channels > mostChannels) {
        sf_close(file);
        return refuse("holds no sound the clock can play");
    }
    return std::unique_ptr<SoundFile>(
        new SoundFile(descriptor, file, format.samplerate, format.channels));
}

SoundFile::SoundFile(int descriptor, SNDFILE* file, int rate, int channels)
    : m_descriptor(descriptor), m_file(file), m_rate(rate), m_channels(channels)
{}

SoundFile::~SoundFile()
{
    sf_close(m_file);
    ::close(m_descriptor);
}

std::size_t SoundFile::read(float* out, std::size_t frames)
{
    const sf_count_t got = sf_readf_float(m_file, out, static_cast<sf_count_t>(frames));
    return got > 0 ? static_cast<std::size_t>(got) : 0;
}

bool SoundFile::rewind()
{
    return sf_seek(m_file, 0, SEEK_SET) == 0;
}
