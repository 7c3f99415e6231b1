#include "ui/TonePlayer.h"

#include <QAudioDevice>
#include <QAudioFormat>
#include <QAudioSink>
#include <QMediaDevices>
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <numbers>

namespace soustruh::ui {
namespace {

// Qt's audio backend reports a missing sound server on the console; without one the tone is
// simply not played, so that report is dropped while the output is being opened. The handler
// must be a plain function, hence the file-level pointer to the one it stands in for.
QtMessageHandler previousHandler = nullptr;

void QuietAudioProbe(QtMsgType type, const QMessageLogContext& context, const QString& text) {
  if (text.startsWith(QStringLiteral("PulseAudioService"))) return;
  if (previousHandler) previousHandler(type, context, text);
}

}  // namespace

TonePlayer::TonePlayer() = default;

TonePlayer::~TonePlayer() {
  if (sink_) sink_->stop();
}

QByteArray TonePlayer::Samples(int hertz, int milliseconds) {
  const int count = static_cast<int>(static_cast<long long>(kSampleRate) * milliseconds / 1000);
  QByteArray bytes(count * 2, Qt::Uninitialized);
  const int ramp = std::max(1, std::min(count / 4, kSampleRate / 1000));  // up to 1 ms
  for (int i = 0; i < count; ++i) {
    const double envelope =
        std::min({1.0, static_cast<double>(i) / ramp, static_cast<double>(count - 1 - i) / ramp});
    const double value = std::sin(2 * std::numbers::pi * hertz * i / kSampleRate);
    const auto sample = static_cast<std::int16_t>(std::lround(value * envelope * 12000));
    bytes[2 * i] = static_cast<char>(sample & 0xFF);
    bytes[2 * i + 1] = static_cast<char>((sample >> 8) & 0xFF);
  }
  return bytes;
}

bool TonePlayer::Open() {
  if (tried_) return sink_ != nullptr;
  tried_ = true;
  previousHandler = qInstallMessageHandler(QuietAudioProbe);
  const QAudioDevice device = QMediaDevices::defaultAudioOutput();
  qInstallMessageHandler(previousHandler);
  if (device.isNull()) return false;
  QAudioFormat format;
  format.setSampleRate(kSampleRate);
  format.setChannelCount(1);
  format.setSampleFormat(QAudioFormat::Int16);
  if (!device.isFormatSupported(format)) return false;
  sink_ = std::make_unique<QAudioSink>(device, format);
  device_ = sink_->start();
  if (!device_) sink_.reset();
  return sink_ != nullptr;
}

void TonePlayer::Play(int hertz, int milliseconds) {
  if (hertz <= 0 || milliseconds <= 0 || !Open()) return;
  device_->write(Samples(hertz, milliseconds));
}

}  // namespace soustruh::ui
