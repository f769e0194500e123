#include "host/audio/MPAudioAsio.h"

#include "platform/DebugOutput.h"

#include <jack/jack.h>

#include <chrono>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <thread>

namespace {

// The one open device of the process: the server's callbacks carry their own
// argument, but a second open must be refused.
std::atomic<MPAudioAsio*> openDevice{nullptr};

constexpr const char* kClientName = "BorvanRig";

// The stage lines of an open, kept until we know where they go: standard error
// when the open fails, the debug output otherwise.
class StageLog {
public:
    void line(const char* format, ...) __attribute__((format(printf, 2, 3)))
    {
        char buffer[512];
        va_list args;
        va_start(args, format);
        std::vsnprintf(buffer, sizeof buffer, format, args);
        va_end(args);
        text_ += buffer;
        text_ += '\n';
    }
    void fail() const { std::fputs(text_.c_str(), stderr); }
    void succeed() const { platform::debugOutput(text_); }

private:
    std::string text_;
};

// A client that never starts a server of its own.
jack_client_t* openClient(const char* name, jack_status_t& status)
{
    const std::string server = MPAudioAsio::serverName();
    // Right after a client of this process has closed, the server now and
    // then refuses the next connection for a moment: a few tries more before
    // concluding that no server runs.
    for (int attempt = 0;; ++attempt) {
        jack_client_t* client =
            jack_client_open(name, static_cast<jack_options_t>(JackNoStartServer | JackServerName),
                             &status, server.c_str());
        if (client || attempt == 4)
            return client;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
}

std::vector<std::string> physicalPorts(jack_client_t* client, bool capture)
{
    std::vector<std::string> names;
    // Capture ports are outputs of the server's client, playback ports inputs.
    const char** ports =
        jack_get_ports(client, nullptr, JACK_DEFAULT_AUDIO_TYPE,
                       JackPortIsPhysical | (capture ? JackPortIsOutput : JackPortIsInput));
    if (ports) {
        for (const char** p = ports; *p; ++p)
            names.emplace_back(*p);
        jack_free(ports);
    }
    return names;
}

jack_client_t* openClient(const char* name)
{
    jack_status_t status{};
    return openClient(name, status);
}

} // namespace

MPAudioAsio::MPAudioAsio() = default;

MPAudioAsio::~MPAudioAsio()
{
    close();
}

std::string MPAudioAsio::serverName()
{
    const char* name = std::getenv("JACK_DEFAULT_SERVER");
    return name && *name ? name : "default";
}

std::string MPAudioAsio::clientName() const
{
    return client_ ? jack_get_client_name(client_) : "";
}

std::string MPAudioAsio::inputPortName(int group) const
{
    return group >= 0 && group < inputPortCount_ ? jack_port_name(inputPorts_[group]) : "";
}

std::string MPAudioAsio::outputPortName(int group) const
{
    return group >= 0 && group < outputPortCount_ ? jack_port_name(outputPorts_[group]) : "";
}

void MPAudioAsio::deviceEnumerate()
{
    inputs_.clear();
    outputs_.clear();
    MPAudioDeviceInfo info;
    info.name = serverName().substr(0, 511);
    info.identifier = serverName();
    info.driverIndex = 0;
    MPAudioDeviceInfo input = info;
    MPAudioDeviceInfo output = info;
    if (jack_client_t* probe = openClient("BorvanRigProbe")) {
        input.channelCount = static_cast<int32_t>(physicalPorts(probe, true).size());
        output.channelCount = static_cast<int32_t>(physicalPorts(probe, false).size());
        jack_client_close(probe);
    }
    inputs_.push_back(input);
    outputs_.push_back(output);
}

bool MPAudioAsio::findDevice(const char* name, bool isInput, int& index)
{
    if (MPAudioBase::findDevice(name, isInput, index))
        return true;
    // Whether a server runs is the opening's to find out.
    if (name == nullptr || (isInput ? inputs_ : outputs_).empty())
        return false;
    index = 0;
    return true;
}

bool MPAudioAsio::getCapabilities(int device, bool isInput, std::vector<int>* bufferSizes,
                                  std::vector<std::string>* channelNames,
                                  std::vector<int>* sampleRates, int* hasPanel,
                                  int* preferredFrames, int* reserved, int* latency)
{
    enumerate(false);
    if (device == -2)
        device = 0;
    if (device < 0 || device >= static_cast<int>(inputs_.size()))
        return false;
    jack_client_t* client = client_;
    jack_client_t* probe = nullptr;
    if (!client) {
        probe = openClient("BorvanRigProbe");
        if (!probe)
            return false;
        client = probe;
    }
    const int period = static_cast<int>(jack_get_buffer_size(client));
    const int rate = static_cast<int>(jack_get_sample_rate(client));
    const std::vector<std::string> ports = physicalPorts(client, isInput);
    int portLatency = 0;
    if (!ports.empty()) {
        if (jack_port_t* port = jack_port_by_name(client, ports.front().c_str())) {
            jack_latency_range_t range{};
            jack_port_get_latency_range(port, isInput ? JackCaptureLatency : JackPlaybackLatency,
                                        &range);
            portLatency = static_cast<int>(range.max);
        }
    }
    if (probe)
        jack_client_close(probe);
    if (bufferSizes)
        *bufferSizes = {period};
    if (channelNames)
        *channelNames = ports;
    if (sampleRates)
        *sampleRates = {rate};
    if (hasPanel)
        *hasPanel = 0;
    if (preferredFrames)
        *preferredFrames = period;
    if (reserved)
        *reserved = 0;
    if (latency)
        *latency = portLatency;
    return true;
}

bool MPAudioAsio::deviceOpen()
{
    StageLog log;
    log.line("LoLevel initing...");
    MPAudioAsio* expected = nullptr;
    if (!openDevice.compare_exchange_strong(expected, this)) {
        log.line("another JACK device is open");
        log.fail();
        return false;
    }
    auto failed = [&](const char* stage) {
        log.line("%s", stage);
        log.fail();
        if (client_) {
            jack_client_close(client_);
            client_ = nullptr;
        }
        inputPortCount_ = outputPortCount_ = 0;
        openDevice.store(nullptr);
        return false;
    };
    int driver = config_.outputDevice == -2 ? 0 : config_.outputDevice;
    if (driver < 0 || driver >= static_cast<int>(outputs_.size()))
        return failed("no JACK server chosen");
    log.line("Loading driver... (server \"%s\")", outputs_[driver].identifier.c_str());
    jack_status_t status{};
    client_ = openClient(kClientName, status);
    if (!client_) {
        log.line("the server refused a client (status 0x%x)", static_cast<unsigned>(status));
        return failed("no JACK server runs under that name");
    }

    log.line("retrieving configuration...");
    const std::vector<std::string> capture = physicalPorts(client_, true);
    const std::vector<std::string> playback = physicalPorts(client_, false);
    log.line("JACK ports (inputs: %d, outputs: %d);", static_cast<int>(capture.size()),
             static_cast<int>(playback.size()));
    const uint32_t period = jack_get_buffer_size(client_);
    const uint32_t rate = jack_get_sample_rate(client_);
    log.line("JACK period %u frames, sample rate %u Hz;", period, rate);
    if (static_cast<int64_t>(rate) != config_.sampleRate) {
        log.line("the server runs at %u Hz, not at the %d Hz asked", rate, config_.sampleRate);
        return failed("retrieving configuration failed");
    }
    // The server's period whatever the configuration asked.
    framesPerBuffer_ = static_cast<int>(period);
    period_.store(period);

    log.line("Creating buffers...");
    inputPortCount_ = std::min<int>(inputGroupCount(), static_cast<int>(capture.size()));
    outputPortCount_ = std::min<int>(outputGroupCount(), static_cast<int>(playback.size()));
    for (int g = 0; g < inputPortCount_; ++g) {
        const int channel = inputGroupChannel(g);
        if (channel < 0 || channel >= static_cast<int>(capture.size()))
            return failed("CreateBuffers error: no capture port for that channel");
        const std::string name = "in_" + std::to_string(g + 1);
        inputPorts_[g] =
            jack_port_register(client_, name.c_str(), JACK_DEFAULT_AUDIO_TYPE, JackPortIsInput, 0);
        if (!inputPorts_[g])
            return failed("CreateBuffers error: port registration");
        inputConnections_[g] = capture[static_cast<std::size_t>(channel)];
        log.line("  input %d <- %s", g, inputConnections_[g].c_str());
    }
    for (int g = 0; g < outputPortCount_; ++g) {
        const int channel = outputGroupChannel(g);
        if (channel < 0 || channel >= static_cast<int>(playback.size()))
            return failed("CreateBuffers error: no playback port for that channel");
        const std::string name = "out_" + std::to_string(g + 1);
        outputPorts_[g] =
            jack_port_register(client_, name.c_str(), JACK_DEFAULT_AUDIO_TYPE, JackPortIsOutput, 0);
        if (!outputPorts_[g])
            return failed("CreateBuffers error: port registration");
        outputConnections_[g] = playback[static_cast<std::size_t>(channel)];
        log.line("  output %d -> %s", g, outputConnections_[g].c_str());
    }
    stopped_.store(true);
    serverGone_.store(false);
    if (jack_set_process_callback(client_, processCallback, this) != 0 ||
        jack_set_buffer_size_callback(client_, bufferSizeCallback, this) != 0)
        return failed("CreateBuffers error: callbacks");
    jack_on_info_shutdown(client_, shutdownCallback, this);
    log.line("LoLevel init done");
    log.succeed();
    return true;
}

void MPAudioAsio::deviceClose()
{
    if (client_) {
        jack_client_close(client_);
        client_ = nullptr;
    }
    inputPortCount_ = outputPortCount_ = 0;
    MPAudioAsio* self = this;
    openDevice.compare_exchange_strong(self, nullptr);
}

bool MPAudioAsio::deviceStart()
{
    if (!client_ || serverGone_.load())
        return false;
    stopped_.store(false);
    if (jack_activate(client_) != 0) {
        stopped_.store(true);
        return false;
    }
    // Connections exist only between active clients, and deactivation drops
    // them: they are made at every start.
    bool connected = true;
    for (int g = 0; g < inputPortCount_; ++g)
        connected &= jack_connect(client_, inputConnections_[g].c_str(),
                                  jack_port_name(inputPorts_[g])) == 0;
    for (int g = 0; g < outputPortCount_; ++g)
        connected &= jack_connect(client_, jack_port_name(outputPorts_[g]),
                                  outputConnections_[g].c_str()) == 0;
    if (!connected) {
        deviceStop();
        return false;
    }
    return true;
}

void MPAudioAsio::deviceStop()
{
    stopped_.store(true);
    // Deactivation returns once the server will not call us again.
    if (client_ && !serverGone_.load())
        jack_deactivate(client_);
}

void MPAudioAsio::resetRequest()
{
    // Notify once: the first of a period change and a shutdown.
    if (!stopped_.exchange(true))
        notify(1);
}

int MPAudioAsio::processCallback(uint32_t frames, void* arg)
{
    auto* self = static_cast<MPAudioAsio*>(arg);
    self->switches_.fetch_add(1, std::memory_order_relaxed);
    const bool deliver =
        !self->stopped_.load() && frames == self->period_.load(std::memory_order_relaxed);
    if (deliver) {
        const std::size_t bytes = frames * sizeof(float);
        for (int g = 0; g < self->inputPortCount_; ++g)
            std::memcpy(self->inputGroupBuffer(g),
                        jack_port_get_buffer(self->inputPorts_[g], frames), bytes);
        self->runCallback(static_cast<int>(frames));
        for (int g = 0; g < self->outputPortCount_; ++g)
            std::memcpy(jack_port_get_buffer(self->outputPorts_[g], frames),
                        self->outputGroupBuffer(g), bytes);
    } else {
        for (int g = 0; g < self->outputPortCount_; ++g)
            std::memset(jack_port_get_buffer(self->outputPorts_[g], frames), 0,
                        frames * sizeof(float));
    }
    return 0;
}

// A new period no longer fits the buffers: delivery stops and the client is
// asked to reset (close and open again).
int MPAudioAsio::bufferSizeCallback(uint32_t frames, void* arg)
{
    auto* self = static_cast<MPAudioAsio*>(arg);
    if (frames != self->period_.load())
        self->resetRequest();
    return 0;
}

void MPAudioAsio::shutdownCallback(jack_status_t, const char*, void* arg)
{
    auto* self = static_cast<MPAudioAsio*>(arg);
    self->serverGone_.store(true);
    self->resetRequest();
}
