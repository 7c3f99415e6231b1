#pragma once
// Tones of a given frequency and duration: a sine wave generated into 16-bit mono samples and
// pushed to one audio output, opened at the first tone. When there is no audio device the tone is
// skipped without a word.

#include <QByteArray>
#include <memory>

class QAudioSink;
class QIODevice;

namespace soustruh::ui {

class TonePlayer {
 public:
  TonePlayer();
  ~TonePlayer();
  TonePlayer(const TonePlayer&) = delete;
  TonePlayer& operator=(const TonePlayer&) = delete;

  // Queues a tone; returns at once. Non-positive values do nothing.
  void Play(int hertz, int milliseconds);
  // Whether an audio device was found (false before the first tone).
  bool available() const { return sink_ != nullptr; }

  static constexpr int kSampleRate = 22050;
  // The samples of a tone (16-bit little-endian mono at kSampleRate), softened at both ends so
  // that the tone does not click.
  static QByteArray Samples(int hertz, int milliseconds);

 private:
  bool Open();

  std::unique_ptr<QAudioSink> sink_;
  QIODevice* device_ = nullptr;
  bool tried_ = false;
};

}  // namespace soustruh::ui
