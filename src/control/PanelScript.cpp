#include "control/PanelScript.h"

#include <algorithm>
#include <array>

#include "control/EntryFields.h"
#include "control/Simulator.h"
#include "control/VirtualHost.h"
#include "platform/Numbers.h"
#include "platform/TextFile.h"

namespace soustruh {
namespace {

using Kind = ScriptAction::Kind;

constexpr std::array<std::pair<std::string_view, Kind>, 18> kActionWords = {{
    {"key", Kind::Key},
    {"soft", Kind::Soft},
    {"press", Kind::Press},
    {"release", Kind::Release},
    {"click", Kind::Click},
    {"wait", Kind::Wait},
    {"mdi", Kind::Mdi},
    {"start", Kind::Start},
    {"stop", Kind::Stop},
    {"reset", Kind::Reset},
    {"total", Kind::Total},
    {"spindle-on", Kind::SpindleOn},
    {"spindle-off", Kind::SpindleOff},
    {"feed", Kind::Feed},
    {"spindle", Kind::Spindle},
    {"field", Kind::Field},
    {"focus", Kind::Focus},
    {"until-idle", Kind::UntilIdle},
}};

std::string_view Trim(std::string_view text) {
  const auto first = text.find_first_not_of(" \t");
  if (first == std::string_view::npos) return {};
  return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

// Cuts the first word off `rest`.
std::string_view Word(std::string_view& rest) {
  rest = Trim(rest);
  const auto end = std::min(rest.find_first_of(" \t"), rest.size());
  const std::string_view word = rest.substr(0, end);
  rest = Trim(rest.substr(end));
  return word;
}

std::optional<std::int64_t> Number(std::string_view text, std::int64_t low, std::int64_t high) {
  const auto value = ParseInt32(text);
  if (!value || *value < low || *value > high) return std::nullopt;
  return *value;
}

// Fills the arguments of `a` from `rest`; an error text, or empty when they are good.
std::string ParseArguments(ScriptAction& a, std::string_view rest) {
  const std::string_view first = Word(rest);
  const std::string unknownControl = "unknown control '" + std::string(first) + "'";
  switch (a.kind) {
    case Kind::Key: {
      const auto key = KeyFromName(first);
      if (!key) return "unknown key '" + std::string(first) + "'";
      a.key = *key;
      const std::string_view phase = Word(rest);
      if (phase == "down") a.phase = ScriptAction::Phase::Down;
      if (phase == "up") a.phase = ScriptAction::Phase::Up;
      if (!phase.empty() && a.phase == ScriptAction::Phase::Tap) return "expected down or up";
      break;
    }
    case Kind::Soft:
    case Kind::Wait:
    case Kind::Feed:
    case Kind::Spindle: {
      const std::int64_t high = a.kind == Kind::Soft ? 5 : a.kind == Kind::Wait ? 86400000 : 150;
      const auto n = Number(first, a.kind == Kind::Soft ? 1 : 0, high);
      if (!n)
        return "expected a number from " + std::string(a.kind == Kind::Soft ? "1" : "0") + " to " +
               FormatInt(high);
      a.number = *n;
      break;
    }
    case Kind::Press:
    case Kind::Release:
    case Kind::Click:
      a.button = MotionButtonFromName(first);
      a.name = first;
      if (a.kind == Kind::Click && first == "LB_Korekce") {
        const auto row = Number(Word(rest), 1, 99999);
        if (!row) return "expected a row number after LB_Korekce";
        a.number = *row;
      } else if (!a.button && !(a.kind == Kind::Click && first == "SB_VymT")) {
        return unknownControl;
      }
      break;
    case Kind::Mdi:
      a.value = std::string(first) + (rest.empty() ? "" : " " + std::string(rest));
      return {};
    case Kind::Field:
      if (!FindEntryField(first)) return unknownControl;
      a.name = first;
      a.value = rest;
      return {};
    case Kind::Focus:
      if (!first.empty() && !IsEntryControl(first)) return unknownControl;
      a.name = first;
      break;
    default:
      if (!first.empty()) return "unexpected '" + std::string(first) + "'";
      break;
  }
  return rest.empty() ? std::string() : "unexpected '" + std::string(rest) + "'";
}

}  // namespace

PanelScript ParsePanelScript(const std::vector<std::string>& lines) {
  PanelScript script;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    const std::string_view text = Trim(lines[i]);
    if (text.empty() || text[0] == '#') continue;
    std::string_view rest = text;
    const std::string_view word = Word(rest);
    ScriptAction action;
    action.text = text;
    action.line = static_cast<int>(i + 1);
    const auto kind = std::find_if(kActionWords.begin(), kActionWords.end(),
                                   [&](const auto& entry) { return entry.first == word; });
    std::string error = "unknown action '" + std::string(word) + "'";
    if (kind != kActionWords.end()) {
      action.kind = kind->second;
      error = ParseArguments(action, rest);
    }
    if (!error.empty()) {
      script.errorLine = action.line;
      script.error = std::move(error);
      script.actions.clear();
      return script;
    }
    script.actions.push_back(std::move(action));
  }
  return script;
}

PanelScriptPlayer::PanelScriptPlayer(Simulator& simulator, VirtualHost& host,
                                     std::uint64_t timeLimitMs)
    : sim_(simulator), host_(host), start_(host.Now()), limit_(timeLimitMs) {}

bool PanelScriptPlayer::Play(const ScriptAction& a) {
  const MachineState& s = sim_.state();
  KeyEvent key{a.key, true, s.Focus, ShownDialog::None, kScriptMonitorLines};
  switch (a.kind) {
    case Kind::Key:
      if (a.phase != ScriptAction::Phase::Up) sim_.MessageHook(key);
      key.focus = s.Focus;
      key.down = false;
      if (a.phase != ScriptAction::Phase::Down) sim_.MessageHook(key);
      break;
    case Kind::Soft:
      sim_.SoftKeyClick(static_cast<int>(a.number));
      break;
    case Kind::Press:
      sim_.MotionButtonDown(*a.button);
      break;
    case Kind::Release:
      sim_.SB_TlPohybyMouseUp();
      break;
    case Kind::Click:
      PlayClick(a);
      break;
    case Kind::Wait: {
      const std::uint64_t left = Left();
      host_.Advance(static_cast<std::uint32_t>(
          std::min<std::uint64_t>(static_cast<std::uint64_t>(a.number), left)));
      return static_cast<std::uint64_t>(a.number) <= left;
    }
    case Kind::Mdi:
      if (AcceptEntry(host_, a.value)) sim_.FieldChange("E_PrikazE", a.value);
      break;
    case Kind::Start:
      sim_.B_StartClick();
      break;
    case Kind::Stop:
      sim_.B_StopClick();
      break;
    case Kind::Reset:
      sim_.B_ResetClick();
      break;
    case Kind::Total:
      sim_.B_TotalClick();
      break;
    case Kind::SpindleOn:
      sim_.B_ZapSClick();
      break;
    case Kind::SpindleOff:
      sim_.B_VypSClick();
      break;
    case Kind::Feed:
      sim_.SB_PosuvChange(static_cast<int>(a.number));
      break;
    case Kind::Spindle:
      sim_.SB_OtackyChange(static_cast<int>(a.number));
      break;
    case Kind::Field:
      PlayField(a);
      break;
    case Kind::Focus:
      if (a.name.empty() || ControlShown(s, a.name)) sim_.FocusChanged(a.name);
      break;
    case Kind::UntilIdle:
      return host_.RunUntil(
          [&] { return !s.MotionTimerOn; },
          static_cast<std::uint32_t>(std::min<std::uint64_t>(Left(), 0xFFFFFFFF)));
  }
  return true;
}

std::uint64_t PanelScriptPlayer::Left() const {
  const std::uint64_t used = static_cast<std::uint32_t>(host_.Now() - start_);
  return used < limit_ ? limit_ - used : 0;
}

void PanelScriptPlayer::PlayClick(const ScriptAction& a) {
  if (a.button) {
    sim_.MotionButtonDown(*a.button);
    sim_.SB_TlPohybyMouseUp();
  } else if (a.name == "SB_VymT") {
    sim_.SB_VymTClick();
  } else if (ControlShown(sim_.state(), "LB_Korekce")) {
    sim_.FocusChanged("LB_Korekce");
    sim_.LB_KorekceClick(static_cast<int>(a.number - 1));
  }
}

void PanelScriptPlayer::PlayField(const ScriptAction& a) {
  if (!ControlShown(sim_.state(), a.name)) return;
  sim_.FocusChanged(a.name);
  const std::string typed = TypedEntryText(*FindEntryField(a.name), a.value);
  if (AcceptEntry(host_, typed)) sim_.FieldChange(a.name, typed);
  sim_.FocusChanged("");
}

}  // namespace soustruh
