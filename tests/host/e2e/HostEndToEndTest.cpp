// The standalone host as a new user runs it: the program BorvanQom with the
// built module and its editor, on a private Xvfb without a window manager
// and a private JACK server on the dummy driver, its settings written by the
// main job's set-up step into a fresh settings root, driven only through the
// X server (XTest) and heard only through JACK clients of this test: one
// feeds the host's input, one records its outputs. Screenshots of every stage
// stay beside the test program (screenshots/).

#include <gtest/gtest.h>

#include "tests/editor/x11/XvfbServer.h"
#include "tests/host/audio/JackServer.h"
#include "tests/host/windows/HostApp.h"
#include "tests/support/TempFolder.h"

#include "host/player/ejpPlayerView.h"
#include "platform/window/Png.h"

#include <jack/jack.h>
#include <sndfile.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <chrono>
#include <cmath>
#include <csignal>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <map>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include <cerrno>
#include <fcntl.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

// After gtest and the host's headers: Xlib defines names such as None and
// Bool.
#include <X11/XKBlib.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

namespace {

constexpr int kRate = 48000;
constexpr int kStrip = 20;         // the menu strip above the client area
constexpr int kPlayerHeight = 120; // the editor's top offset
constexpr int kEditorWidth = 851;
constexpr int kEditorHeight = 510;
constexpr const char* kHostClient = "BorvanRig";

// Polls until the condition holds or the time is up.
bool waitFor(double seconds, const std::function<bool()>& condition)
{
    const auto end = Clock::now() + std::chrono::duration<double>(seconds);
    while (Clock::now() < end) {
        if (condition())
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return condition();
}

[[maybe_unused]] double secondsSince(Clock::time_point start)
{
    return std::chrono::duration<double>(Clock::now() - start).count();
}

// ------------------------------------------------------------ the environment

// One Xvfb and one JACK server for the whole program, as a desktop session
// would have them; the server at the dummy driver's own period (1024 frames),
// as the main job starts it.
struct Environment {
    test::x11::XvfbServer xvfb;
    test::JackServer jack{"borvanqom-e2e-" + std::to_string(getpid()), 1024};
};

Environment& environment()
{
    static Environment e;
    return e;
}

std::string readWhole(const fs::path& file)
{
    std::ifstream in(file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

[[maybe_unused]] int countOf(const std::string& text, const std::string& part)
{
    int n = 0;
    for (std::size_t at = text.find(part); at != std::string::npos;
         at = text.find(part, at + part.size()))
        ++n;
    return n;
}

// ---------------------------------------------------------- the host program

// BorvanQom as a child process in a fresh home, its standard error kept.
class HostProcess {
public:
    HostProcess(const fs::path& home, const fs::path& settingsRoot, const std::string& log)
        : log_(home / log)
    {
        const std::string server = environment().jack.name();
        pid_ = fork();
        if (pid_ == 0) {
            prctl(PR_SET_PDEATHSIG, SIGKILL);
            const int out = open(log_.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
            dup2(out, 1);
            dup2(out, 2);
            if (chdir(home.c_str()) != 0)
                _exit(126);
            setenv("HOME", home.c_str(), 1);
            setenv("ZQ_SETTINGS_ROOT", settingsRoot.c_str(), 1);
            unsetenv("XDG_CONFIG_HOME");
            setenv("ZQ_MESSAGE_BOX", "stderr", 1);
            setenv("JACK_DEFAULT_SERVER", server.c_str(), 1);
            setenv("JACK_NO_START_SERVER", "1", 1);
            execl(BORVANQOM_PATH, "BorvanQom", static_cast<char*>(nullptr));
            _exit(127);
        }
    }
    ~HostProcess()
    {
        if (pid_ > 0) {
            kill(pid_, SIGKILL);
            waitpid(pid_, nullptr, 0);
        }
    }
    HostProcess(const HostProcess&) = delete;
    HostProcess& operator=(const HostProcess&) = delete;

    bool running()
    {
        if (pid_ <= 0)
            return false;
        int status = 0;
        if (waitpid(pid_, &status, WNOHANG) == pid_) {
            status_ = status;
            pid_ = -1;
            return false;
        }
        return true;
    }
    // Waits for the end; true when it ended by itself with status 0.
    bool endsCleanly(double seconds)
    {
        waitFor(seconds, [&] { return !running(); });
        return pid_ <= 0 && WIFEXITED(status_) && WEXITSTATUS(status_) == 0;
    }
    int status() const { return status_; }
    std::string errors() const { return readWhole(log_); }

private:
    fs::path log_;
    pid_t pid_ = -1;
    int status_ = -1;
};

// ------------------------------------------------------------ JACK clients

// Two test clients: one feeds the host's input (a sine or silence), one
// records the host's outputs into memory kept from the start. Two, so that
// the server's graph runs feeder, host, recorder in that order every period
// (one client doing both would close a loop the server cannot order).
class JackProbe {
public:
    explicit JackProbe(double maxSeconds)
    {
        for (auto& channel : recorded_)
            channel.assign(static_cast<std::size_t>(maxSeconds * kRate), 0.0f);
        feeder_ = environment().jack.openClient("e2e-feed");
        recorder_ = environment().jack.openClient("e2e-record");
        if (!feeder_ || !recorder_)
            return;
        tone_ = jack_port_register(feeder_, "tone", JACK_DEFAULT_AUDIO_TYPE, JackPortIsOutput, 0);
        for (int c = 0; c < 2; ++c)
            record_[c] = jack_port_register(recorder_, ("rec_" + std::to_string(c + 1)).c_str(),
                                            JACK_DEFAULT_AUDIO_TYPE, JackPortIsInput, 0);
        jack_set_process_callback(feeder_, &JackProbe::feed, this);
        jack_set_process_callback(recorder_, &JackProbe::record, this);
        jack_set_xrun_callback(recorder_, &JackProbe::xrun, this);
        active_ = jack_activate(feeder_) == 0 && jack_activate(recorder_) == 0;
    }
    ~JackProbe()
    {
        for (jack_client_t* client : {feeder_, recorder_})
            if (client)
                jack_client_close(client);
    }
    JackProbe(const JackProbe&) = delete;
    JackProbe& operator=(const JackProbe&) = delete;

    bool ready() const { return active_; }
    bool hostPortsExist() const
    {
        return jack_port_by_name(recorder_, (std::string(kHostClient) + ":out_2").c_str()) &&
               jack_port_by_name(recorder_, (std::string(kHostClient) + ":in_1").c_str());
    }
    // The host's ports owned by its client, counted.
    int hostPortCount() const
    {
        const std::string pattern = std::string("^") + kHostClient + ":";
        const char** ports = jack_get_ports(recorder_, pattern.c_str(), nullptr, 0);
        int n = 0;
        if (ports) {
            while (ports[n])
                ++n;
            jack_free(ports);
        }
        return n;
    }
    // Connections take once the host's client is active (a while after its
    // ports exist): tried until they stand.
    bool connectHost()
    {
        const std::string host = kHostClient;
        auto connect = [&](const std::string& from, const std::string& to) {
            const int result = jack_connect(recorder_, from.c_str(), to.c_str());
            return result == 0 || result == EEXIST;
        };
        return waitFor(20, [&] {
            return connect("e2e-feed:tone", host + ":in_1") &&
                   connect(host + ":out_1", "e2e-record:rec_1") &&
                   connect(host + ":out_2", "e2e-record:rec_2");
        });
    }
    void setTone(float hz, float amplitude)
    {
        hz_.store(hz);
        amplitude_.store(amplitude);
    }
    // Records the given time of both outputs (bounded by three times as long
    // in wall time).
    bool record(double seconds)
    {
        const std::size_t frames =
            std::min(recorded_[0].size(), static_cast<std::size_t>(seconds * kRate));
        for (auto& channel : recorded_)
            std::fill(channel.begin(), channel.end(), 0.0f);
        wanted_.store(frames);
        count_.store(0);
        started_.store(false);
        xruns_.store(0);
        recording_.store(true);
        const bool done = waitFor(seconds * 3 + 2, [&] { return count_.load() >= frames; });
        recording_.store(false);
        return done;
    }
    // Whether the recording has begun, and how much it holds.
    bool recording() const { return started_.load(); }
    double recordedSeconds() const { return double(count_.load()) / kRate; }
    // Periods the server reported late while recording.
    int xruns() const { return xruns_.load(); }
    std::vector<float> channel(int c) const
    {
        return std::vector<float>(recorded_[c].begin(),
                                  recorded_[c].begin() + static_cast<long>(count_.load()));
    }

private:
    static int feed(jack_nframes_t frames, void* arg)
    {
        auto* self = static_cast<JackProbe*>(arg);
        auto* out = static_cast<float*>(jack_port_get_buffer(self->tone_, frames));
        const double step = 2.0 * M_PI * self->hz_.load() / kRate;
        const float amplitude = self->amplitude_.load();
        for (jack_nframes_t i = 0; i < frames; ++i) {
            out[i] = amplitude * static_cast<float>(std::sin(self->phase_));
            self->phase_ = std::fmod(self->phase_ + step, 2.0 * M_PI);
        }
        return 0;
    }
    // Each period lands at its place in the server's time: a period this
    // client missed stays a gap instead of pulling the rest earlier.
    static int record(jack_nframes_t frames, void* arg)
    {
        auto* self = static_cast<JackProbe*>(arg);
        if (!self->recording_.load())
            return 0;
        const jack_nframes_t now = jack_last_frame_time(self->recorder_);
        if (!self->started_.load()) {
            self->start_ = now;
            self->started_.store(true);
        }
        const std::size_t at = now - self->start_;
        const std::size_t wanted = self->wanted_.load();
        if (at >= wanted)
            return 0;
        const std::size_t n = std::min<std::size_t>(frames, wanted - at);
        for (int c = 0; c < 2; ++c) {
            const auto* in =
                static_cast<const float*>(jack_port_get_buffer(self->record_[c], frames));
            std::copy(in, in + n, self->recorded_[c].begin() + static_cast<long>(at));
        }
        self->count_.store(at + n);
        return 0;
    }
    static int xrun(void* arg)
    {
        auto* self = static_cast<JackProbe*>(arg);
        if (self->recording_.load())
            ++self->xruns_;
        return 0;
    }

    jack_client_t* feeder_ = nullptr;
    jack_client_t* recorder_ = nullptr;
    bool active_ = false;
    jack_port_t* tone_ = nullptr;
    std::array<jack_port_t*, 2> record_{};
    std::array<std::vector<float>, 2> recorded_;
    std::atomic<float> hz_{110.0f};
    std::atomic<float> amplitude_{0.0f};
    double phase_ = 0.0;
    std::atomic<bool> recording_{false};
    std::atomic<std::size_t> wanted_{0};
    std::atomic<std::size_t> count_{0};
    std::atomic<bool> started_{false};
    jack_nframes_t start_ = 0;
    std::atomic<int> xruns_{0};
};

struct Level {
    bool finite = true;
    double rms = 0.0;
    double peak = 0.0;
};

Level levelOf(const std::vector<float>& samples)
{
    Level level;
    double sum = 0.0;
    for (float s : samples) {
        level.finite = level.finite && std::isfinite(s);
        sum += double(s) * s;
        level.peak = std::max(level.peak, double(std::fabs(s)));
    }
    level.rms = samples.empty() ? 0.0 : std::sqrt(sum / double(samples.size()));
    return level;
}

// The frequency of a steady tone from its rising zero crossings (linearly
// placed between samples), over the whole recording.
double frequencyOf(const std::vector<float>& samples)
{
    double first = -1.0, last = -1.0;
    int crossings = 0;
    for (std::size_t i = 1; i < samples.size(); ++i) {
        if (samples[i - 1] < 0.0f && samples[i] >= 0.0f) {
            const double at =
                double(i - 1) + double(-samples[i - 1]) / double(samples[i] - samples[i - 1]);
            if (first < 0.0)
                first = at;
            last = at;
            ++crossings;
        }
    }
    return crossings < 2 ? 0.0 : (crossings - 1) * double(kRate) / (last - first);
}

// A song of one steady tone: 16-bit stereo WAV at the server's rate.
[[maybe_unused]] bool writeSong(const fs::path& path, double seconds, double hz)
{
    SF_INFO info{};
    info.samplerate = kRate;
    info.channels = 2;
    info.format = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
    SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
    if (!file)
        return false;
    const auto frames = static_cast<std::size_t>(seconds * kRate);
    std::vector<float> samples(frames * 2);
    for (std::size_t i = 0; i < frames; ++i)
        samples[2 * i] = samples[2 * i + 1] =
            0.5f * static_cast<float>(std::sin(2.0 * M_PI * hz * double(i) / kRate));
    const bool written =
        sf_writef_float(file, samples.data(), sf_count_t(frames)) == sf_count_t(frames);
    return sf_close(file) == 0 && written;
}

[[maybe_unused]] void writeRecording(const fs::path& path, const std::vector<float>& samples)
{
    SF_INFO info{};
    info.samplerate = kRate;
    info.channels = 1;
    info.format = SF_FORMAT_WAV | SF_FORMAT_FLOAT;
    if (SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info)) {
        sf_writef_float(file, samples.data(), sf_count_t(samples.size()));
        sf_close(file);
    }
}

// Where clicks start: the click is a burst of high frequency, many sharp
// changes (second differences) within a millisecond; the song is smooth, and
// a period the server dropped makes one sharp change, not many.
[[maybe_unused]] std::vector<std::size_t> clickOnsets(const std::vector<float>& samples)
{
    std::vector<std::size_t> onsets;
    const std::size_t gap = kRate / 5, span = kRate / 1000;
    std::vector<std::uint8_t> sharp(samples.size(), 0);
    for (std::size_t i = 2; i < samples.size(); ++i)
        sharp[i] = std::fabs(samples[i] - 2.0f * samples[i - 1] + samples[i - 2]) > 0.05f;
    std::size_t inWindow = 0;
    for (std::size_t i = 0; i < samples.size(); ++i) {
        inWindow += sharp[i];
        if (i >= span)
            inWindow -= sharp[i - span];
        if (inWindow >= span / 2 && (onsets.empty() || i - onsets.back() > gap)) {
            // Back to the first sharp change of the burst.
            std::size_t first = i - std::min(i, span);
            while (!sharp[first])
                ++first;
            onsets.push_back(first - 1);
        }
    }
    return onsets;
}

// The span of the song: the first and last 10-millisecond block of a run of
// at least ten loud blocks (a click alone is shorter).
[[maybe_unused]] std::pair<double, double> songSpan(const std::vector<float>& samples)
{
    const std::size_t block = kRate / 100;
    std::vector<bool> loud;
    for (std::size_t at = 0; at + block <= samples.size(); at += block) {
        double sum = 0.0;
        for (std::size_t i = at; i < at + block; ++i)
            sum += double(samples[i]) * samples[i];
        loud.push_back(std::sqrt(sum / double(block)) > 0.05);
    }
    long first = -1, last = -1;
    for (std::size_t i = 0; i + 10 <= loud.size(); ++i)
        if (std::all_of(loud.begin() + long(i), loud.begin() + long(i) + 10,
                        [](bool b) { return b; })) {
            if (first < 0)
                first = long(i);
            last = long(i) + 9;
        }
    return {double(first) / 100.0, double(last + 1) / 100.0};
}

// The song's frequency: the median over tenth-of-a-second windows clear of
// the clicks (each window's from its zero crossings), so that a period the
// server dropped spoils one window, not the figure.
[[maybe_unused]] double songFrequency(const std::vector<float>& samples,
                                      const std::vector<std::size_t>& onsets,
                                      std::pair<double, double> span)
{
    const std::size_t window = kRate / 10;
    const auto from = static_cast<std::size_t>(span.first * kRate) + window;
    const auto to = static_cast<std::size_t>(span.second * kRate) - window;
    std::vector<double> found;
    for (std::size_t at = from; at + window <= to; at += window) {
        const bool clicked = std::any_of(onsets.begin(), onsets.end(), [&](std::size_t onset) {
            return onset + kRate / 20 > at && onset < at + window;
        });
        if (clicked)
            continue;
        const double hz = frequencyOf(
            std::vector<float>(samples.begin() + long(at), samples.begin() + long(at + window)));
        if (hz > 0.0)
            found.push_back(hz);
    }
    if (found.empty())
        return 0.0;
    std::nth_element(found.begin(), found.begin() + long(found.size() / 2), found.end());
    return found[found.size() / 2];
}

// ------------------------------------------------------------ the X server

struct Box {
    int x = 0, y = 0, width = 0, height = 0;
};

class Screen {
public:
    Screen() : display_(XOpenDisplay(nullptr))
    {
        // Windows come and go while this looks at them (the loading window,
        // drop-downs): a request about one already gone is no failure here.
        XSetErrorHandler([](Display*, XErrorEvent*) { return 0; });
    }
    ~Screen()
    {
        if (display_)
            XCloseDisplay(display_);
    }
    Screen(const Screen&) = delete;
    Screen& operator=(const Screen&) = delete;

    bool open() const { return display_ != nullptr; }
    bool hasTest() const
    {
        int event = 0, error = 0, major = 0, minor = 0;
        return display_ && XTestQueryExtension(display_, &event, &error, &major, &minor);
    }

    // The mapped top-level window of that title (no window manager: the
    // root's own children).
    Window find(const std::string& title) const
    {
        Window root = 0, parent = 0;
        Window* children = nullptr;
        unsigned count = 0;
        Window found = 0;
        if (!XQueryTree(display_, DefaultRootWindow(display_), &root, &parent, &children, &count))
            return 0;
        for (unsigned i = 0; i < count && !found; ++i) {
            char* name = nullptr;
            XWindowAttributes attributes;
            if (XFetchName(display_, children[i], &name) && name) {
                if (title == name && XGetWindowAttributes(display_, children[i], &attributes) &&
                    attributes.map_state == IsViewable)
                    found = children[i];
                XFree(name);
            }
        }
        if (children)
            XFree(children);
        return found;
    }
    // Whether a window inside that one covers exactly that place on the
    // screen.
    bool hasWindowAt(Window parent, Box place) const
    {
        Window root = 0, up = 0;
        Window* children = nullptr;
        unsigned count = 0;
        if (!XQueryTree(display_, parent, &root, &up, &children, &count))
            return false;
        bool found = false;
        for (unsigned i = 0; i < count && !found; ++i) {
            const Box b = box(children[i]);
            found = (b.x == place.x && b.y == place.y && b.width == place.width &&
                     b.height == place.height) ||
                    hasWindowAt(children[i], place);
        }
        if (children)
            XFree(children);
        return found;
    }
    // Whether a pop-up (an override-redirect window: a drop-down) shows.
    bool popupShown() const
    {
        Window root = 0, parent = 0;
        Window* children = nullptr;
        unsigned count = 0;
        bool shown = false;
        if (!XQueryTree(display_, DefaultRootWindow(display_), &root, &parent, &children, &count))
            return false;
        for (unsigned i = 0; i < count && !shown; ++i) {
            XWindowAttributes attributes;
            shown = XGetWindowAttributes(display_, children[i], &attributes) &&
                    attributes.map_state == IsViewable && attributes.override_redirect;
        }
        if (children)
            XFree(children);
        return shown;
    }
    Window waitForWindow(const std::string& title, double seconds) const
    {
        Window window = 0;
        waitFor(seconds, [&] { return (window = find(title)) != 0; });
        return window;
    }
    Box box(Window window) const
    {
        XWindowAttributes attributes;
        Box b;
        if (!XGetWindowAttributes(display_, window, &attributes))
            return b;
        Window child = 0;
        XTranslateCoordinates(display_, window, DefaultRootWindow(display_), 0, 0, &b.x, &b.y,
                              &child);
        b.width = attributes.width;
        b.height = attributes.height;
        return b;
    }

    // Pixels of the root window (0x00RRGGBB), clipped to the screen.
    std::vector<std::uint32_t> grab(Box area) const
    {
        XSync(display_, False);
        std::vector<std::uint32_t> pixels(std::size_t(area.width) * std::size_t(area.height), 0);
        XImage* image = XGetImage(display_, DefaultRootWindow(display_), area.x, area.y,
                                  unsigned(area.width), unsigned(area.height), AllPlanes, ZPixmap);
        if (!image)
            return {};
        for (int y = 0; y < area.height; ++y)
            for (int x = 0; x < area.width; ++x)
                pixels[std::size_t(y) * std::size_t(area.width) + std::size_t(x)] =
                    std::uint32_t(XGetPixel(image, x, y)) & 0xFFFFFFu;
        XDestroyImage(image);
        return pixels;
    }

    void moveTo(int x, int y) const
    {
        XTestFakeMotionEvent(display_, DefaultScreen(display_), x, y, 0);
        XFlush(display_);
    }
    void click(int x, int y) const
    {
        moveTo(x, y);
        XTestFakeButtonEvent(display_, 1, True, 0);
        XTestFakeButtonEvent(display_, 1, False, 20);
        XFlush(display_);
    }
    // A drag with the left button; fine: with Shift held.
    void drag(int x, int y, int dx, int dy, bool fine = false, int steps = 10) const
    {
        const KeyCode shift = XKeysymToKeycode(display_, XK_Shift_L);
        moveTo(x, y);
        if (fine)
            XTestFakeKeyEvent(display_, shift, True, 0);
        XTestFakeButtonEvent(display_, 1, True, 0);
        for (int i = 1; i <= steps; ++i)
            XTestFakeMotionEvent(display_, DefaultScreen(display_), x + dx * i / steps,
                                 y + dy * i / steps, 15);
        XTestFakeButtonEvent(display_, 1, False, 15);
        if (fine)
            XTestFakeKeyEvent(display_, shift, False, 0);
        XFlush(display_);
    }
    void key(KeySym symbol, bool control = false) const
    {
        const KeyCode code = XKeysymToKeycode(display_, symbol);
        const KeyCode shift = XKeysymToKeycode(display_, XK_Shift_L);
        const KeyCode ctrl = XKeysymToKeycode(display_, XK_Control_L);
        // A symbol on the key's second level needs Shift.
        const bool shifted = XkbKeycodeToKeysym(display_, code, 0, 0) != symbol &&
                             XkbKeycodeToKeysym(display_, code, 0, 1) == symbol;
        if (control)
            XTestFakeKeyEvent(display_, ctrl, True, 0);
        if (shifted)
            XTestFakeKeyEvent(display_, shift, True, 0);
        XTestFakeKeyEvent(display_, code, True, 5);
        XTestFakeKeyEvent(display_, code, False, 5);
        if (shifted)
            XTestFakeKeyEvent(display_, shift, False, 0);
        if (control)
            XTestFakeKeyEvent(display_, ctrl, False, 0);
        XFlush(display_);
    }
    void type(const std::string& text) const
    {
        for (char c : text)
            key(KeySym(static_cast<unsigned char>(c)));
    }

private:
    Display* display_;
};

// ------------------------------------------------------ the reference renders

// Rectangles of the status bar's items in the client area.
struct StatusItems {
    Box info, running, percent, tempo;
};

// The status bar as the headless back end draws the same states, over the
// recording stand-in: 'info' reading "Ready" with audio pending, and the
// running items once the (fake) device runs. Only these small regions are
// compared with the screen.
struct References {
    StatusItems items;
    std::vector<std::uint32_t> ready, running, tempo100;
    // The player panel's 'stin' while a file loads and once it is ready.
    Box playerInfo;
    std::vector<std::uint32_t> loading, loaded;
};

std::vector<std::uint32_t> crop(const std::vector<std::uint32_t>& pixels, int width, Box area)
{
    std::vector<std::uint32_t> out;
    for (int y = area.y; y < area.y + area.height; ++y)
        for (int x = area.x; x < area.x + area.width; ++x)
            out.push_back(pixels[std::size_t(y) * std::size_t(width) + std::size_t(x)] & 0xFFFFFFu);
    return out;
}

// ------------------------------------------------------------ the fixture

class HostEndToEnd : public test::HostAppTest {
protected:
    void SetUp() override
    {
        test::HostAppTest::SetUp();
        Environment& env = environment();
        if (!env.xvfb.running())
            GTEST_SKIP() << "Xvfb is not installed (Debian package xvfb)";
        if (!test::JackServer::installed())
            GTEST_SKIP() << "jackd is not installed (Debian package jackd2)";
        ASSERT_TRUE(env.jack.ready()) << "the dummy JACK server did not start";
        screen_ = std::make_unique<Screen>();
        ASSERT_TRUE(screen_->open());
        ASSERT_TRUE(screen_->hasTest()) << "the X server has no XTEST extension";
        home_ = fs::path(folder_.path("home"));
        store_ = fs::path(folder_.path("settings"));
        fs::create_directories(home_);
        fs::create_directories(store_);
        shots_ = fs::path(E2E_SCREENSHOT_DIR) / "screenshots";
        fs::create_directories(shots_);
    }

    // The main job's set-up step alone, against this build.
    void writeSettings()
    {
        const std::string command = "env ZQ_SETTINGS_ROOT='" + store_.string() + "' HOME='" +
                                    home_.string() + "' RIG_BUILD_DIR='" RIG_BUILD_DIR "' '" +
                                    RUN_SCRIPT + "' --settings-only >/dev/null";
        ASSERT_EQ(std::system(command.c_str()), 0);
    }
    fs::path valuePath(const std::string& name) const
    {
        return store_ / "Zq Sonware" / "BorvanQom" / name;
    }
    // The host's own values ("Host.") and their contents.
    std::map<std::string, std::string> hostValues() const
    {
        std::map<std::string, std::string> values;
        const fs::path key = store_ / "Zq Sonware" / "BorvanQom";
        for (const auto& entry : fs::directory_iterator(key))
            if (entry.path().filename().string().starts_with("Host."))
                values[entry.path().filename().string()] = readWhole(entry.path());
        return values;
    }
    fs::path sessionPath() const { return store_ / "Zq Sonware" / "BorvanQom.hostParams"; }

    // Headless references of the status bar's items.
    References references(const std::string& song = "")
    {
        References r;
        installStub();
        test::HostApp app;
        app.start();
        app.settle();
        vphoHostWindow* host = app.host();
        if (!host)
            return r;
        auto& window = static_cast<platform::ui::HeadlessWindow&>(*host->hostWindow());
        const int width = host->getFrame().getWidth();
        epiUbo* bar = host->getChild(epiCode("sttu"));
        auto boxOf = [&](const char* id) {
            const epiRect f = bar->findChild(epiText(id).toFourCC())->getFrame();
            return Box{f.left, f.top, f.getWidth(), f.getHeight()};
        };
        r.items = {boxOf("info"), boxOf("plab"), boxOf("perc"), boxOf("tbpm")};
        const int barTop = bar->getFrame().top;
        auto inWindow = [&](Box b) { return Box{b.x, b.y + barTop, b.width, b.height}; };
        r.ready = crop(window.screen(), width, inWindow(r.items.info));
        app.clock += 1.5;
        app.settle(4);
        r.running = crop(window.screen(), width, inWindow(r.items.running));
        host->logic().setTempo(100.0f, false);
        app.settle(2);
        r.tempo100 = crop(window.screen(), width, inWindow(r.items.tempo));
        if (!song.empty() && host->playerView()) {
            player::ejpPlayerView& view = *host->playerView();
            const epiRect f = view.findChild(epiCode("stin"))->getFrame();
            const epiRect panel = view.getFrame();
            r.playerInfo = {panel.left + f.left, panel.top + f.top, f.getWidth(), f.getHeight()};
            view.loadFile(song.c_str());
            app.settle(2);
            r.loading = crop(window.screen(), width, r.playerInfo);
            waitFor(20, [&] {
                app.clock += 1.0 / 15.0;
                app.settle(1);
                return !view.isLoading();
            });
            app.settle(2);
            r.loaded = crop(window.screen(), width, r.playerInfo);
        }
        host->closeRequested();
        // The stand-in's settings go: the programs under test use their own store.
        std::filesystem::remove_all(root / "Zq Sonware");
        return r;
    }

    // The client area's place on the screen, below the menu strip.
    Box clientOf(Window window) const
    {
        Box b = screen_->box(window);
        b.y += kStrip;
        b.height -= kStrip;
        return b;
    }
    Box statusItem(Box client, Box item) const
    {
        return {client.x + item.x, client.y + kPlayerHeight + kEditorHeight + item.y, item.width,
                item.height};
    }
    bool shows(Box area, const std::vector<std::uint32_t>& expected, double seconds) const
    {
        return waitFor(seconds, [&] { return screen_->grab(area) == expected; });
    }
    void screenshot(const std::string& name) const
    {
        const Box all{0, 0, 1024, 768};
        const auto pixels = screen_->grab(all);
        EXPECT_TRUE(platform::window::writePng((shots_ / (name + ".png")).string(), pixels.data(),
                                               all.width, all.height));
    }
    // Keys for the host go after a click on its own area: the status bar's
    // left end, where a click does nothing.
    void quitWithControlQ(Box client) const
    {
        screen_->click(client.x + 3, client.y + kPlayerHeight + kEditorHeight + 12);
        screen_->key(XK_q, true);
    }
    // A row of the File menu (20 pixels each, below the strip).
    void chooseFromFileMenu(Window main, int row, double patience) const
    {
        const Box window = screen_->box(main);
        screen_->click(window.x + 15, window.y + kStrip / 2);
        EXPECT_TRUE(waitFor(patience, [&] { return screen_->popupShown(); }))
            << "the File menu does not drop down";
        screen_->click(window.x + 30, window.y + kStrip + 12 + 20 * row);
    }
    // File > Tempo Setup...; the window's place.
    Box openTempoSetup(Window main, double patience) const
    {
        chooseFromFileMenu(main, 1, patience);
        const Window tempo = screen_->waitForWindow("Tempo Setup", patience);
        return tempo ? screen_->box(tempo) : Box{};
    }
    // The automatic session switch on, OK.
    void switchSessionsOn(Window main, double patience = 10) const
    {
        const Box setup = openTempoSetup(main, patience);
        ASSERT_GT(setup.width, 0);
        screen_->click(setup.x + 20, setup.y + 89); // 'ausa'
        screenshot("5-tempo-setup-sessions");
        screen_->click(setup.x + 124, setup.y + 126); // OK
        ASSERT_TRUE(waitFor(patience, [&] { return screen_->find("Tempo Setup") == 0; }));
        ASSERT_TRUE(waitFor(
            patience, [&] { return readWhole(valuePath("Host.AutoSaveLoadSession")).size() > 0; }));
    }
    // Files half written: the settings store's ("~name~pid-n") and the
    // session writer's ("name.tmp-pid-n").
    std::vector<fs::path> temporaries() const
    {
        std::vector<fs::path> found;
        for (const auto& entry : fs::recursive_directory_iterator(folder_.root())) {
            const std::string name = entry.path().filename().string();
            if (name.starts_with("~") || name.find(".tmp-") != std::string::npos)
                found.push_back(entry.path());
        }
        return found;
    }

    testsupport::TempFolder folder_;
    std::unique_ptr<Screen> screen_;
    fs::path home_, store_, shots_;
};

#ifndef RIG_E2E_REDUCED

// The first run: settings written by the set-up step alone, the loading
// window then the main window with the editor between the player panel and the
// status bar, "Ready"; audio starts on the dummy server about a second later
// and a 110 Hz tone at the input comes out of both outputs through the rig;
// Control+Q ends the program cleanly.
TEST_F(HostEndToEnd, FirstRunShowsTheRigAndPlaysAToneThroughIt)
{
    const References expected = references();
    ASSERT_FALSE(expected.ready.empty());
    writeSettings();
    EXPECT_EQ(readWhole(valuePath("DUZ2Path")).find("Zq_BorvanRAZ.raz") != std::string::npos, true);
    EXPECT_TRUE(fs::exists(valuePath("ResPath")));
    // No audio value: the host's own first run chooses.
    for (const auto& entry : fs::directory_iterator(store_ / "Zq Sonware" / "BorvanQom"))
        EXPECT_FALSE(entry.path().filename().string().starts_with("Host.")) << entry.path();

    JackProbe probe(4.0);
    ASSERT_TRUE(probe.ready());
    const auto started = Clock::now();
    HostProcess host(home_, store_, "first-run.log");
    // The loading window ("Message") shows first, while the module loads.
    bool sawLoading = false;
    Window main = 0;
    const auto end = Clock::now() + std::chrono::seconds(30);
    while (!main && host.running() && Clock::now() < end) {
        sawLoading = sawLoading || screen_->find("Message") != 0;
        main = screen_->find("BorvanQom");
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    ASSERT_NE(main, 0u) << host.errors();
    const auto shown = Clock::now();
    EXPECT_TRUE(sawLoading) << "no loading window before the main window";
    const Box client = clientOf(main);
    EXPECT_EQ(client.width, kEditorWidth);
    EXPECT_EQ(client.height, kPlayerHeight + kEditorHeight + 24);
    // The editor's own window, between the player panel and the status bar.
    EXPECT_TRUE(screen_->hasWindowAt(
        main, Box{client.x, client.y + kPlayerHeight, kEditorWidth, kEditorHeight}))
        << "no editor window of 851 x 510 at (0, 120)";
    EXPECT_TRUE(shows(statusItem(client, expected.items.info), expected.ready, 10))
        << "'info' does not read \"Ready\"";
    screenshot("1-start");

    // Audio on the dummy server, about a second after the window opened.
    ASSERT_TRUE(waitFor(10, [&] { return probe.hostPortsExist(); })) << host.errors();
    const double portsAfter = secondsSince(shown);
    EXPECT_GT(portsAfter, 0.5);
    EXPECT_LT(portsAfter, 3.0) << host.errors();
    EXPECT_TRUE(shows(statusItem(client, expected.items.running), expected.running, 5))
        << "the running items do not show";
    ASSERT_TRUE(probe.connectHost()) << host.errors();
    probe.setTone(110.0f, 0.25f);
    // The rig's start-up settles; then one second is heard.
    ASSERT_TRUE(probe.record(0.5));
    ASSERT_TRUE(probe.record(1.0));
    // The CPU percentage is drawn.
    const auto percent = screen_->grab(statusItem(client, expected.items.percent));
    EXPECT_GT(std::count_if(percent.begin(), percent.end(),
                            [&](std::uint32_t p) { return p != percent.front(); }),
              4);

    screenshot("2-first-run-audio");
    for (int c = 0; c < 2; ++c) {
        SCOPED_TRACE(c);
        const Level level = levelOf(probe.channel(c));
        EXPECT_TRUE(level.finite);
        EXPECT_GT(level.rms, 1e-3);
    }
    // Through the rig: the input's plain copy would be 110 Hz at 0.25 on the
    // left output alone.
    const double hz = frequencyOf(probe.channel(0));
    EXPECT_NEAR(hz, 110.0, 110.0 * 0.2) << "the rig's output is not the tone's pitch";

    // File > Audio Setup... (the menu's first row): audio stops while it is
    // open; Cancel keeps the settings and audio starts again a second later.
    const auto valuesBefore = hostValues();
    chooseFromFileMenu(main, 0, 10);
    const Window setup = screen_->waitForWindow("Audio Setup", 10);
    ASSERT_NE(setup, 0u) << host.errors();
    EXPECT_TRUE(waitFor(5, [&] { return probe.hostPortCount() == 0; }))
        << "audio still runs with the set-up open";
    screenshot("3-audio-setup");
    const Box setupBox = screen_->box(setup);
    const auto cancelled = Clock::now();
    screen_->click(setupBox.x + 584, setupBox.y + 590); // Cancel
    EXPECT_TRUE(waitFor(10, [&] { return screen_->find("Audio Setup") == 0; }));
    ASSERT_TRUE(waitFor(10, [&] { return probe.hostPortsExist(); })) << host.errors();
    const double restartAfter = secondsSince(cancelled);
    EXPECT_GT(restartAfter, 0.5);
    EXPECT_LT(restartAfter, 3.0);
    EXPECT_EQ(hostValues(), valuesBefore);

    quitWithControlQ(client);
    EXPECT_TRUE(host.endsCleanly(15)) << "status " << host.status() << "\n" << host.errors();
    EXPECT_TRUE(waitFor(5, [&] { return probe.hostPortCount() == 0; }))
        << "the host's JACK client did not leave";
    EXPECT_TRUE(temporaries().empty());
    RecordProperty("StartToWindowSeconds", std::to_string(secondsSince(started)));
    RecordProperty("WindowToAudioSeconds", std::to_string(portsAfter));
    std::printf("window to audio: %.2f s; tone heard at %.2f Hz; audio again %.2f s after "
                "Cancel\n",
                portsAfter, hz, restartAfter);
}

// Without "DUZ2Path": one installation message, the title says "not
// loaded", and the input tone passes straight to output 0.
TEST_F(HostEndToEnd, WithoutTheModuleTheToneGoesStraightThrough)
{
    writeSettings();
    fs::remove(valuePath("DUZ2Path"));
    JackProbe probe(4.0);
    ASSERT_TRUE(probe.ready());
    HostProcess host(home_, store_, "not-loaded.log");
    const Window main = screen_->waitForWindow("BorvanQom - not loaded", 30);
    ASSERT_NE(main, 0u) << host.errors();
    ASSERT_TRUE(waitFor(10, [&] { return probe.hostPortsExist(); })) << host.errors();
    screenshot("4-not-loaded");
    ASSERT_TRUE(probe.connectHost()) << host.errors();
    probe.setTone(110.0f, 0.25f);
    ASSERT_TRUE(probe.record(0.3));
    ASSERT_TRUE(probe.record(1.0));
    const std::vector<float> left = probe.channel(0);
    const Level level = levelOf(left);
    EXPECT_TRUE(level.finite);
    // The tone at the input gain of a first run (+6 dB).
    EXPECT_NEAR(level.peak, 0.5, 0.01);
    EXPECT_NEAR(frequencyOf(left), 110.0, 0.5);
    EXPECT_LT(levelOf(probe.channel(1)).peak, 1e-6) << "only input 0 passes, to output 0";

    quitWithControlQ(clientOf(main));
    EXPECT_TRUE(host.endsCleanly(15)) << host.errors();
    const std::string errors = host.errors();
    EXPECT_EQ(countOf(errors, "Please ensure this product has been installed properly"), 1)
        << errors;
    EXPECT_EQ(countOf(errors, "plug-in loader:"), 1) << errors;
}

// Automatic sessions switched on in Tempo Setup, an editor control dragged,
// Control+Q: the session file appears beside the key folder and the settings
// are saved; the next start shows the changed control, and closing again
// writes the same session.
TEST_F(HostEndToEnd, TheSessionComesBackAfterARestart)
{
    writeSettings();
    JackProbe probe(1.0);
    ASSERT_TRUE(probe.ready());
    std::vector<std::uint32_t> changed;
    Box knobs;
    std::string firstSession;
    {
        HostProcess host(home_, store_, "session-1.log");
        const Window main = screen_->waitForWindow("BorvanQom", 30);
        ASSERT_NE(main, 0u) << host.errors();
        const Box client = clientOf(main);
        ASSERT_TRUE(waitFor(10, [&] { return probe.hostPortsExist(); })) << host.errors();

        switchSessionsOn(main);

        // An editor control: the master knob of the lower bar's output
        // section, dragged up.
        knobs = {client.x + 280, client.y + kPlayerHeight + 446, 48, 48};
        const auto before = screen_->grab(knobs);
        screen_->drag(knobs.x + 24, knobs.y + 24, 0, -40);
        EXPECT_TRUE(waitFor(5, [&] { return screen_->grab(knobs) != before; }))
            << "no editor control moved";
        changed = screen_->grab(knobs);
        screenshot("6-session-changed");
        quitWithControlQ(client);
        EXPECT_TRUE(host.endsCleanly(15)) << host.errors();
        ASSERT_TRUE(fs::exists(sessionPath()));
        firstSession = readWhole(sessionPath());
        EXPECT_FALSE(firstSession.empty());
        EXPECT_TRUE(temporaries().empty());
    }
    {
        HostProcess host(home_, store_, "session-2.log");
        const Window main = screen_->waitForWindow("BorvanQom", 30);
        ASSERT_NE(main, 0u) << host.errors();
        const Box client = clientOf(main);
        EXPECT_TRUE(waitFor(10, [&] { return screen_->grab(knobs) == changed; }))
            << "the editor does not show the changed control";
        screenshot("7-session-restored");
        quitWithControlQ(client);
        EXPECT_TRUE(host.endsCleanly(15)) << host.errors();
        EXPECT_EQ(readWhole(sessionPath()), firstSession);
        EXPECT_TRUE(temporaries().empty());
    }
}

// The practice player: a 10-second song of 220 Hz opened through 'fope' and
// the open dialog, slowed to 75 % and raised by 3 semitones on the panel's
// knobs, the tempo set to 100 BPM in Tempo Setup and the metronome on; played
// with the input silent it sounds at 261.6 Hz for 13.3 s with a click every
// 0.6 s, and both lamps are off at its end.
TEST_F(HostEndToEnd, ThePlayerPlaysASongSlowerAndHigherWithTheMetronome)
{
    const fs::path song = home_ / "song-220.wav";
    ASSERT_TRUE(writeSong(song, 10.0, 220.0));
    const References expected = references(song.string());
    ASSERT_FALSE(expected.loaded.empty());
    writeSettings();
    JackProbe probe(16.0);
    ASSERT_TRUE(probe.ready());
    HostProcess host(home_, store_, "player.log");
    const Window main = screen_->waitForWindow("BorvanQom", 30);
    ASSERT_NE(main, 0u) << host.errors();
    const Box client = clientOf(main);
    ASSERT_TRUE(waitFor(10, [&] { return probe.hostPortsExist(); })) << host.errors();
    ASSERT_TRUE(probe.connectHost()) << host.errors();
    auto at = [&](int x, int y) { return std::pair<int, int>{client.x + x, client.y + y}; };
    const Box info{client.x + expected.playerInfo.x, client.y + expected.playerInfo.y,
                   expected.playerInfo.width, expected.playerInfo.height};

    // 'fope', the path typed into the open dialog, OK.
    screen_->click(at(16, 11).first, at(16, 11).second);
    const Window open = screen_->waitForWindow("Open", 10);
    ASSERT_NE(open, 0u) << host.errors();
    const Box dialog = screen_->box(open);
    screen_->click(dialog.x + 245, dialog.y + 247);
    screen_->type(song.string());
    screenshot("8-open-dialog");
    bool sawLoading = false;
    screen_->click(dialog.x + 280, dialog.y + 280);
    const bool ready = waitFor(20, [&] {
        const auto shown = screen_->grab(info);
        sawLoading = sawLoading || shown == expected.loading;
        return shown == expected.loaded;
    });
    EXPECT_TRUE(ready) << "the player does not read \"READY\"";
    EXPECT_EQ(screen_->find("Open"), 0u);
    RecordProperty("SawLoading", sawLoading ? "yes" : "no");

    // Pitch 120 -> 150 (+3 semitones, two steps a pixel) and tempo 100 ->
    // 75 % (a step a pixel).
    screen_->drag(at(590, 40).first, at(590, 40).second, 0, -15);
    screen_->drag(at(628, 40).first, at(628, 40).second, 0, 25);

    // Tempo Setup: 100 BPM.
    const Box setup = openTempoSetup(main, 10);
    ASSERT_GT(setup.width, 0) << host.errors();
    screen_->click(setup.x + 123, setup.y + 24);
    for (int i = 0; i < 8; ++i)
        screen_->key(XK_BackSpace);
    for (int i = 0; i < 8; ++i)
        screen_->key(XK_Delete);
    screen_->type("100");
    screen_->click(setup.x + 124, setup.y + 126); // OK
    ASSERT_TRUE(waitFor(10, [&] { return screen_->find("Tempo Setup") == 0; }));
    EXPECT_TRUE(shows(statusItem(client, expected.items.tempo), expected.tempo100, 5))
        << "the status bar does not read \"Tempo: 100.0 BPM\"";

    // Metronome on, the lamps as they are while stopped, then play.
    screen_->click(at(590, 80).first, at(590, 80).second);
    const Box lamps{client.x + 28, client.y + 100, 60, 18};
    const auto lampsOff = screen_->grab(lamps);
    screenshot("9-player-set");
    probe.setTone(110.0f, 0.0f);
    std::thread recorder([&] { probe.record(15.0); });
    EXPECT_TRUE(waitFor(5, [&] { return probe.recording(); }));
    screen_->click(at(16, 109).first, at(16, 109).second);
    // Playing: the play lamp lights, and the cursor moves on.
    EXPECT_TRUE(waitFor(5, [&] { return screen_->grab(lamps) != lampsOff; }))
        << "the play lamp does not light";
    waitFor(3, [&] { return probe.recordedSeconds() > 3.0; });
    screenshot("10-player-playing");
    recorder.join();
    EXPECT_TRUE(shows(lamps, lampsOff, 3)) << "a lamp is still on at the end";
    screenshot("11-player-ended");

    const std::vector<float> left = probe.channel(0);
    // Kept beside the screenshots, to listen to when a figure is off.
    writeRecording(shots_ / "player-left.wav", left);
    ASSERT_GT(left.size(), std::size_t(14 * kRate));
    EXPECT_TRUE(levelOf(left).finite);
    const auto span = songSpan(left);
    const double duration = span.second - span.first;
    EXPECT_NEAR(duration, 10.0 / 0.75, 0.1);
    const auto onsets = clickOnsets(left);
    ASSERT_GE(onsets.size(), 10u);
    // Every interval 0.6 s within 2 ms; a period the server reported late
    // may shift the click after it.
    double worst = 0.0, sum = 0.0;
    int off = 0;
    for (std::size_t i = 1; i < onsets.size(); ++i) {
        const double interval = double(onsets[i] - onsets[i - 1]) / kRate;
        sum += interval;
        const double miss = std::fabs(interval - 0.6);
        worst = std::max(worst, miss);
        off += miss > 0.002;
    }
    const double meanInterval = sum / double(onsets.size() - 1);
    EXPECT_LE(off, 2 * probe.xruns())
        << off << " intervals off; mean " << meanInterval << " s, worst " << worst << " s off, "
        << probe.xruns() << " late periods";
    EXPECT_NEAR(meanInterval, 0.6, 0.002);
    const double hz = songFrequency(left, onsets, span);
    const double wanted = 220.0 * std::pow(2.0, 3.0 / 12.0);
    const double cents = 1200.0 * std::log2(hz / wanted);
    EXPECT_LE(std::fabs(cents), 5.0) << hz << " Hz";
    std::printf("player: %.2f Hz (%+.2f cents), clicks every %.4f s (worst %.4f s off, %d "
                "late periods), song %.3f s, loading shown: %s\n",
                hz, cents, meanInterval, worst, probe.xruns(), duration, sawLoading ? "yes" : "no");

    quitWithControlQ(client);
    EXPECT_TRUE(host.endsCleanly(15)) << host.errors();
}

#else

// Under the sanitizers: start, a second of audio, a session saved, Control+Q,
// and nothing reported; no timing is checked.
TEST_F(HostEndToEnd, StartsPlaysSavesAndQuitsCleanlyUnderTheSanitizers)
{
    writeSettings();
    JackProbe probe(2.0);
    ASSERT_TRUE(probe.ready());
    HostProcess host(home_, store_, "sanitized.log");
    const Window main = screen_->waitForWindow("BorvanQom", 120);
    ASSERT_NE(main, 0u) << host.errors();
    ASSERT_TRUE(waitFor(60, [&] { return probe.hostPortsExist(); })) << host.errors();
    ASSERT_TRUE(probe.connectHost()) << host.errors();
    probe.setTone(110.0f, 0.25f);
    ASSERT_TRUE(probe.record(1.0));
    EXPECT_TRUE(levelOf(probe.channel(0)).finite);
    screenshot("sanitized-running");
    switchSessionsOn(main, 60);
    quitWithControlQ(clientOf(main));
    EXPECT_TRUE(host.endsCleanly(120)) << host.errors();
    const std::string errors = host.errors();
    EXPECT_EQ(errors.find("Sanitizer"), std::string::npos) << errors;
    EXPECT_EQ(errors.find("runtime error"), std::string::npos) << errors;
    EXPECT_TRUE(waitFor(10, [&] { return probe.hostPortCount() == 0; }));
    EXPECT_TRUE(fs::exists(sessionPath()));
    EXPECT_TRUE(temporaries().empty());
}

#endif

} // namespace
