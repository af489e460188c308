#pragma once
// What a recorder panel does with the one shared media device, free of any window: the
// operation sequences of record, play, stop, save and the once-a-second poll, and the running
// time text. Both windows' recorders share the device; each panel keeps a session that knows
// whether the device still holds what that panel started, so that one window's poll never ends
// another window's recording or playback.
#include <QString>
#include <cstdint>

namespace midi {

// The file dialogs of both recorders: the files they play, and what they save.
inline const QString kRecorderPlayFilter = QStringLiteral("演奏录音(wav)|*.wav|音乐(mp3)|*.mp3");
inline const QString kRecorderSaveFilter = QStringLiteral("演奏录音(wav)|*.wav");

// The recorder clock written as minutes ":" seconds without zero padding ("0:59", "1:0").
QString RecorderClockText(int minutes, int seconds);
// The text the time display shows whenever the recorder is reset.
inline constexpr const char* kRecorderClockZero = "00:00";
// One second later: seconds run 0..59, then the minutes go up.
void AdvanceRecorderClock(int& minutes, int& seconds);

// What "保存" says of a take that a full disk cut short.
inline const QString kCutTakeSavedText = QStringLiteral("录音不完整（磁盘已满时中断），已保存中断前录下的部分。");

class RecorderSession {
public:
    enum class Started { Nothing, Recording, Playback };
    enum class PollResult {
        Running,     // nothing to do
        Ended,       // this session's playback reached its end; the device is now closed
        Superseded,  // the device no longer holds what this session started
        Cut,         // this session's take could not be written further (a full disk): the
                     // recording stopped there, and the device keeps it for saving
    };

    // Closes the device, opens a new recording (bits, rate, 2 channels) and starts it.
    // On failure the device is closed again and error() tells why.
    bool startRecording(int bits, int rate);
    // Closes the device, opens the file (WAV or MP3), seeks to its start and plays it.
    // On failure the device is closed again and error() tells why.
    bool startPlaying(const QString& path);
    // Stops recording or playback; the device stays open so that a recording can be saved.
    void stop();
    // Stops, saves the recording to `path` and closes the device. When the save fails the
    // device is left open so that the recording can still be saved elsewhere.
    bool save(const QString& path);
    // The once-a-second poll: asks the device's mode; ends this session's own playback once the
    // device reports it stopped (stop, close). Never touches what another session opened.
    PollResult poll();

    // True while the device holds a take that was cut short (until it is saved or closed).
    bool takeCut() const;
    // The box that tells the user the take was cut, with the length it was cut at.
    QString cutText() const;

    Started started() const { return started_; }
    // True while the device still holds what this session opened last.
    bool ownsDevice() const;
    // Text of the last failure, for the status line.
    QString error() const { return error_; }

private:
    void closeDevice();
    void claimDevice(Started what);
    bool fail(const QString& fallback);

    Started started_ = Started::Nothing;
    uint64_t claim_ = 0;   // the device generation this session opened; 0 = none
    QString error_;
};

}  // namespace midi
