/* Preloaded into the harness's Wine processes (scripts/winebin/wine). Wine's PulseAudio driver asks
 * the sound server to keep only three 10 ms periods of each playback stream, so one late timer in a
 * loaded Wine process empties the stream and the sound breaks. This gives every playback stream a
 * target buffer of WINE_PLAYBACK_BUFFER_MSEC milliseconds instead, and leaves capture streams alone:
 * libpulse's own PULSE_LATENCY_MSEC would set their fragments too, and capture would arrive in bursts.
 * Only the buffer attributes the driver passes are changed; the server fills in what stays unset.
 * Built by scripts/harness.sh for both widths; the loader picks each process's own. */
#define _GNU_SOURCE
#include <dlfcn.h>
#include <stdint.h>
#include <stdlib.h>

/* The sound server's client library keeps these layouts stable across versions. */
typedef struct stream stream;
enum { ADJUST_LATENCY = 0x2000 };  /* the flag that makes the target include the sink's own latency */
typedef struct {
    uint32_t maxlength, tlength, prebuf, minreq, fragsize;
} buffer_attr;
typedef int (*connect_playback_fn)(stream *, const char *, const buffer_attr *, unsigned, const void *,
                                   stream *);
typedef const void *(*sample_spec_fn)(stream *);
typedef size_t (*usec_to_bytes_fn)(uint64_t, const void *);

static void *client_library(void)
{
    static void *library;
    if (!library)
        library = dlopen("libpulse.so.0", RTLD_NOW | RTLD_NOLOAD);
    if (!library)
        library = dlopen("libpulse.so.0", RTLD_NOW);
    return library;
}

static unsigned requested_msec(void)
{
    const char *text = getenv("WINE_PLAYBACK_BUFFER_MSEC");
    char *end;
    unsigned long msec;
    if (!text || !*text)
        return 0;
    msec = strtoul(text, &end, 10);
    return (*end || msec > 10000) ? 0 : (unsigned)msec;
}

int pa_stream_connect_playback(stream *s, const char *device, const buffer_attr *attr, unsigned flags,
                               const void *volume, stream *sync_stream)
{
    void *library = client_library();
    connect_playback_fn connect;
    sample_spec_fn spec;
    usec_to_bytes_fn to_bytes;
    unsigned msec = requested_msec();
    buffer_attr larger;

    if (!library || !(connect = (connect_playback_fn)dlsym(library, "pa_stream_connect_playback")))
        return -1;
    spec = (sample_spec_fn)dlsym(library, "pa_stream_get_sample_spec");
    to_bytes = (usec_to_bytes_fn)dlsym(library, "pa_usec_to_bytes");
    if (!msec || !attr || !spec || !to_bytes)
        return connect(s, device, attr, flags, volume, sync_stream);
    larger = *attr;
    larger.tlength = (uint32_t)to_bytes((uint64_t)msec * 1000, spec(s));
    /* A larger target must fit: the driver sizes the maximum to its own buffer. */
    if (larger.maxlength != (uint32_t)-1 && larger.maxlength < larger.tlength)
        larger.maxlength = (uint32_t)-1;
    /* The whole target stays queued in the stream: with the driver's ADJUST_LATENCY the server
     * would give half of it to the sink, and a stall of half the target would empty the stream. */
    return connect(s, device, &larger, flags & ~ADJUST_LATENCY, volume, sync_stream);
}
