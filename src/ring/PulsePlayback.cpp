// SPDX-License-Identifier: GPL-3.0-or-later
#include "PulsePlayback.h"

#include "Loudness.h"
#include "SoundSource.h"

#include <cstdio>
#include <pulse/pulseaudio.h>
#include <string>

namespace {
constexpr int answerSeconds = 5;
// A short buffer, so that what is heard follows the fade closely and starts at once.
constexpr pa_usec_t bufferUsec = 100 * 1000;

class Playback
{
public:
    Playback(SoundSource& source, const Loudness& loudness, bool once)
        : m_source(source), m_loudness(loudness), m_once(once),
          m_frameBytes(sizeof(float) * static_cast<std::size_t>(source.channels()))
    {}

    int run()
    {
        m_loop = pa_mainloop_new();
        pa_mainloop_api* api = pa_mainloop_get_api(m_loop);
        pa_proplist* properties = pa_proplist_new();
        pa_proplist_sets(properties, PA_PROP_APPLICATION_NAME, "QM-UTC");
        pa_proplist_sets(properties, PA_PROP_APPLICATION_ID, "qm-utc");
        pa_proplist_sets(properties, PA_PROP_APPLICATION_ICON_NAME, "qm-utc");
        m_context = pa_context_new_with_proplist(api, "QM-UTC", properties);
        pa_proplist_free(properties);
        pa_context_set_state_callback(m_context, &Playback::contextChanged, this);
        if (pa_context_connect(m_context, nullptr, PA_CONTEXT_NOAUTOSPAWN, nullptr) < 0)
            fail("no sound server to ring through", pa_context_errno(m_context));
        m_timeout = api->time_new(api, deadline(), &Playback::noAnswer, this);
        int status = 0;
        if (!m_done)
            pa_mainloop_run(m_loop, &status);
        if (m_stream)
            pa_stream_unref(m_stream);
        pa_context_disconnect(m_context);
        pa_context_unref(m_context);
        pa_mainloop_free(m_loop);
        return m_done ? m_status : status;
    }

private:
    static const timeval* deadline()
    {
        static timeval at;
        pa_gettimeofday(&at);
        pa_timeval_add(&at, answerSeconds * PA_USEC_PER_SEC);
        return &at;
    }

    void quit(int status)
    {
        m_done = true;
        m_status = status;
        pa_mainloop_quit(m_loop, status);
    }

    void fail(const char* what, int error)
    {
        if (m_done)
            return;
        std::fprintf(stderr, "%s (%s)\n", what, pa_strerror(error));
        quit(2);
    }

    static void contextChanged(pa_context* context, void* self)
    {
        auto* playback = static_cast<Playback*>(self);
        switch (pa_context_get_state(context)) {
        case PA_CONTEXT_READY:
            playback->openStream();
            break;
        case PA_CONTEXT_FAILED:
        case PA_CONTEXT_TERMINATED:
            playback->fail(playback->m_stream ? "the sound server went away"
                                              : "no sound server to ring through",
                           pa_context_errno(context));
            break;
        default:
            break;
        }
    }

    void openStream()
    {
        const pa_sample_spec format{PA_SAMPLE_FLOAT32NE, static_cast<uint32_t>(m_source.rate()),
                                    static_cast<uint8_t>(m_source.channels())};
        pa_channel_map channels;
        pa_channel_map_init_extend(&channels, format.channels, PA_CHANNEL_MAP_DEFAULT);
        m_stream = pa_stream_new(m_context, "Alarm", &format, &channels);
        if (!m_stream) {
            fail("the sound server refused the sound", pa_context_errno(m_context));
            return;
        }
        pa_stream_set_state_callback(m_stream, &Playback::streamChanged, this);
        pa_stream_set_write_callback(m_stream, &Playback::writable, this);
        pa_buffer_attr buffer;
        buffer.maxlength = static_cast<uint32_t>(-1);
        buffer.tlength = static_cast<uint32_t>(pa_usec_to_bytes(bufferUsec, &format));
        buffer.prebuf = static_cast<uint32_t>(-1);
        buffer.minreq = static_cast<uint32_t>(-1);
        buffer.fragsize = static_cast<uint32_t>(-1);
        if (pa_stream_connect_playback(m_stream, nullptr, &buffer, PA_STREAM_ADJUST_LATENCY,
                                       nullptr, nullptr) < 0)
            fail("the sound server refused the sound", pa_context_errno(m_context));
    }

    static void streamChanged(pa_stream* stream, void* self)
    {
        auto* playback = static_cast<Playback*>(self);
        switch (pa_stream_get_state(stream)) {
        case PA_STREAM_READY:
            playback->answered();
            break;
        case PA_STREAM_FAILED:
            playback->fail("the sound server refused the sound",
                           pa_context_errno(playback->m_context));
            break;
        default:
            break;
        }
    }

    void answered()
    {
        if (!m_timeout)
            return;
        pa_mainloop_get_api(m_loop)->time_free(m_timeout);
        m_timeout = nullptr;
    }

    static void noAnswer(pa_mainloop_api*, pa_time_event*, const timeval*, void* self)
    {
        auto* playback = static_cast<Playback*>(self);
        playback->m_timeout = nullptr;
        std::fprintf(stderr, "the sound server did not answer within %d seconds\n", answerSeconds);
        playback->quit(2);
    }

    static void writable(pa_stream* stream, std::size_t bytes, void* self)
    {
        static_cast<Playback*>(self)->fill(stream, bytes);
    }

    // The next samples, each at the loudness of its moment; at the end of a sound played once,
    // what is written is let play out.
    void fill(pa_stream* stream, std::size_t bytes)
    {
        void* data = nullptr;
        if (pa_stream_begin_write(stream, &data, &bytes) < 0 || !data)
            return;
        auto* samples = static_cast<float*>(data);
        const std::size_t wanted = bytes / m_frameBytes;
        const auto channels = static_cast<std::size_t>(m_source.channels());
        std::size_t frames = 0;
        bool ended = false;
        bool rewound = false;
        while (frames < wanted) {
            const std::size_t got = m_source.read(samples + frames * channels, wanted - frames);
            if (got > 0) {
                frames += got;
                rewound = false;
                continue;
            }
            // A sound that gives nothing even from its start has ended for good.
            if (m_once || rewound || !m_source.rewind()) {
                ended = true;
                break;
            }
            rewound = true;
        }
        for (std::size_t i = 0; i < frames; ++i) {
            const float gain =
                m_loudness.gainAt(static_cast<double>(m_played + i) / m_source.rate());
            for (std::size_t c = 0; c < channels; ++c)
                samples[i * channels + c] *= gain;
        }
        m_played += frames;
        if (frames > 0)
            pa_stream_write(stream, data, frames * m_frameBytes, nullptr, 0, PA_SEEK_RELATIVE);
        else
            pa_stream_cancel_write(stream);
        if (ended) {
            pa_stream_set_write_callback(stream, nullptr, nullptr);
            pa_operation_unref(pa_stream_drain(stream, &Playback::drained, this));
        }
    }

    static void drained(pa_stream*, int, void* self) { static_cast<Playback*>(self)->quit(0); }

    SoundSource& m_source;
    const Loudness& m_loudness;
    const bool m_once;
    const std::size_t m_frameBytes;
    pa_mainloop* m_loop = nullptr;
    pa_context* m_context = nullptr;
    pa_stream* m_stream = nullptr;
    pa_time_event* m_timeout = nullptr;
    unsigned long long m_played = 0;
    bool m_done = false;
    int m_status = 0;
};
} // namespace

int PulsePlayback::play(SoundSource& source, const Loudness& loudness, bool once)
{
    return Playback(source, loudness, once).run();
}
