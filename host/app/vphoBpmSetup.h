#pragma once

#include <string>

class vphoPluginWindow;

// The tempo set-up window's logic: the tempo field 'eBpm' (digits and a point
// only), the automatic session switch 'ausa', the tap button and the two
// buttons. The native window shows the field and reports the user's actions.
class vphoBpmSetup {
public:
    static constexpr const char* kCharacterFilter = "0123456789.";

    explicit vphoBpmSetup(vphoPluginWindow& window) : window_(window) {}

    // Once the layout is loaded: the current tempo ("%0.2f") and the switch.
    void open();
    // The field's character filter: false for a refused character.
    bool typeCharacter(char c);
    // 'Okay': a positive tempo in the field becomes the host's tempo (the
    // field's "", "." or "0" keep it); the switch and the settings are saved
    // at once.
    void okay();
    // 'Tapp': one tap; the field shows the tempo.
    void tap();
    // 'Canc': changes and saves nothing.
    void cancel() { closed_ = true; }

    bool isClosed() const { return closed_; }
    // A positive, finite number at the start of text ("%f"), else 0.
    static float parseTempo(const std::string& text);
    static std::string tempoText(float bpm);

    std::string field;
    bool autoSession = false;

private:
    vphoPluginWindow& window_;
    bool closed_ = false;
};

// The status bar's input-gain control: whole decibels 0 to 24, set by a
// vertical drag (3 pixels a decibel, upward raises), reported to the window
// on every change.
class vphoGainInput {
public:
    static constexpr int kMaxDb = 24;
    static constexpr int kPixelsPerDb = 3;

    explicit vphoGainInput(vphoPluginWindow& window) : window_(window) {}

    int getValue() const { return value_; }
    void setValue(int db);
    void setEnabled(bool enabled) { enabled_ = enabled; }
    void press(int y);
    void drag(int y);

private:
    vphoPluginWindow& window_;
    int value_ = 0;
    bool enabled_ = true;
    int startValue_ = 0;
    int startY_ = 0;
};
