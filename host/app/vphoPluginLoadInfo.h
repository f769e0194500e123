#pragma once

// The product description: the product's names and its feature switches,
// asked for by the application and the plug-in window.
class vphoPluginLoadInfo {
public:
    virtual ~vphoPluginLoadInfo() = default;
    // The settings key, the session's base name.
    virtual const char* getProductName() const = 0;
    virtual const char* getWindowTitle() const = 0;
    virtual bool hasMidi() const = 0;
    // The pack file searched for when the program carries none of its own.
    virtual const char* getInternalName() const = 0;
    virtual const char* getBanner() const = 0;
    virtual bool showsTempo() const = 0;
    virtual bool hasPlayer() const = 0;
    virtual bool hasStatusBar() const = 0;
    virtual bool hasMainBar() const = 0;
    virtual bool hasInputGain() const = 0;
    virtual bool hasOutputGain() const = 0;
    virtual float getOutputGainDb() const = 0;
    virtual bool isAudioDisabled() const = 0;
    virtual bool isPlainFrame() const = 0;
    virtual bool triesAllInterfacePresets() const = 0;
};

class BorvanQomPluginLoadInfo : public vphoPluginLoadInfo {
public:
    const char* getProductName() const override { return "BorvanQom"; }
    const char* getWindowTitle() const override { return "BorvanQom"; }
    bool hasMidi() const override { return false; }
    const char* getInternalName() const override { return "RazHost"; }
    const char* getBanner() const override { return "Raz host 1.1.3.0 161145 090709 rc"; }
    bool showsTempo() const override { return true; }
    bool hasPlayer() const override { return true; }
    bool hasStatusBar() const override { return true; }
    bool hasMainBar() const override { return true; }
    bool hasInputGain() const override { return true; }
    bool hasOutputGain() const override { return false; }
    float getOutputGainDb() const override { return 1.0f; }
    bool isAudioDisabled() const override { return false; }
    bool isPlainFrame() const override { return false; }
    bool triesAllInterfacePresets() const override { return true; }
};

// A layout of a "midi/" and "nomidi/" pair, chosen by the product's MIDI switch.
inline const char* vphoMidiLayout(const vphoPluginLoadInfo& info, const char* midi,
                                  const char* nomidi)
{
    return info.hasMidi() ? midi : nomidi;
}
