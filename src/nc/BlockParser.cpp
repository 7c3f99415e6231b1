// The block parser: one pass over a program line, word by word, checking each word against
// what the block holds so far. The first error ends the scan.

#include <cmath>
#include <limits>

#include "nc/FunctionGroups.h"
#include "nc/Interpreter.h"

namespace soustruh {
namespace {

constexpr unsigned Bit(int index) {
  return 1u << static_cast<unsigned>(index);
}

// One bit per coordinate: X and U share one, Z and W share one.
constexpr unsigned kAxisI = 1;
constexpr unsigned kAxisK = 2;
constexpr unsigned kAxisX = 4;
constexpr unsigned kAxisZ = 8;

// Axis values, variable definitions and variable values: 3 integer and 3 fraction digits.
constexpr int kCoordIntDigits = 3;
constexpr int kCoordFracDigits = 3;

char ToUpperAscii(char c) {
  return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

bool IsNameChar(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_';
}

bool IsContinuationByte(char c) {
  return (static_cast<unsigned char>(c) & 0xC0u) == 0x80u;
}

bool IsArc(const NcBlock& block) {
  return block.G[kGMotion] == 2 || block.G[kGMotion] == 3;
}

// sqrt(i² + k²) rounded to nearest; an exact half cannot occur for an integer radicand.
std::int64_t RoundedHypot(std::int32_t i, std::int32_t k) {
  const auto square = [](std::int32_t v) {
    const auto m = static_cast<std::uint64_t>(std::abs(static_cast<std::int64_t>(v)));
    return m * m;
  };
  const std::uint64_t n = square(i) + square(k);
  auto r = static_cast<std::uint64_t>(std::sqrt(static_cast<long double>(n)));
  while (r * r > n) --r;
  while ((r + 1) * (r + 1) <= n) ++r;
  if (n - r * r > r) ++r;
  return static_cast<std::int64_t>(r);
}

}  // namespace

class BlockScanner {
 public:
  BlockScanner(NcInterpreter& interpreter, std::string_view line, bool execute, bool mdi,
               NcBlock& block)
      : in_(interpreter), line_(line), execute_(execute), mdi_(mdi), b_(block) {}

  void Run() {
    while (i_ < line_.size() && !Failed()) {
      const char c = ToUpperAscii(line_[i_]);
      switch (c) {
        case 'F':
        case 'G':
        case 'I':
        case 'K':
        case 'L':
        case 'M':
        case 'N':
        case 'S':
        case 'T':
        case 'U':
        case 'W':
        case 'X':
        case 'Z':
        case '/':
          Word(c);
          break;
        case ':':
          VariableDefinition();
          break;
        case '(': {
          const std::size_t close = line_.find(')', i_ + 1);
          Comment(close == std::string_view::npos ? line_.size() : close + 1);
          break;
        }
        case '%':
        case '\'':
        case '*':
        case ';':
          Comment(line_.size());
          break;
        case ' ':
          while (i_ < line_.size() && line_[i_] == ' ') {
            ++i_;
            ++firstWordColumn_;
          }
          break;
        default:
          Fail(kErrBlockFormat);
      }
    }
    if (!Failed()) EndOfBlockChecks();
  }

 private:
  bool Failed() const { return in_.error_ != kErrNone; }
  void Fail(NcError code) { in_.error_ = code; }

  // Everything before i_ outside comments is ASCII (anything else is refused), so only the
  // comments skipped so far can make columns and byte indices differ.
  int Column(std::size_t index) const { return static_cast<int>(index) + 1 - columnShift_; }

  void Mark(HighlightClass cls, int firstColumn, int lastColumn) {
    // The highlighter's columns end at 126; a piece reaching past them stays uncoloured whole
    // rather than half coloured.
    if (lastColumn > kHighlightColumns) return;
    if (firstColumn < 0) return;
    // Unchecked stores: the columns were bounded above.
    ColumnSet& set = in_.highlight_[static_cast<std::size_t>(cls)];
    for (int c = firstColumn; c <= lastColumn; ++c) set[static_cast<std::size_t>(c)] = true;
  }
  // Marks the ASCII bytes [begin, end).
  void MarkBytes(HighlightClass cls, std::size_t begin, std::size_t end) {
    if (end > begin) Mark(cls, Column(begin), Column(end - 1));
  }

  ReadResult ReadInteger(int maxDigits) {
    const ReadResult r = ScanInteger(line_, maxDigits, i_);
    if (r.error != kErrNone) Fail(r.error);
    return r;
  }
  ReadResult ReadDecimal(bool coordinateScaling) {
    const ReadResult r =
        ScanDecimal(line_, kCoordIntDigits, kCoordFracDigits, coordinateScaling, i_);
    if (r.error != kErrNone) Fail(r.error);
    return r;
  }

  void Word(char c) {
    const std::size_t letter = i_++;
    switch (c) {
      case 'N':
        BlockNumberWord(letter);
        break;
      case 'G':
        GWord(letter);
        break;
      case 'M':
        MWord(letter);
        break;
      case 'F':
      case 'S':
        FeedOrSpeedWord(c, letter);
        break;
      case 'T':
        ToolWordValue(letter);
        break;
      case 'L':
        LWord(letter);
        break;
      case '/':
        SkipMark(letter);
        break;
      default:
        AxisWord(c, letter);
        break;
    }
  }

  void BlockNumberWord(std::size_t letter) {
    if (mdi_) return Fail(kErrNotInMdi);
    if (line_.find_first_not_of(' ') != letter) return Fail(kErrBlockNumberNotFirst);
    const std::size_t value = i_;
    // Digits followed by a wrong character still number the block, so the message can name it
    // (N10/ is block 10 with a format error); only an N without digits leaves it none.
    const ReadResult r = ReadInteger(4);
    if (r.valid) in_.blockNumber_ = r.value;
    if (Failed()) return;
    MarkBytes(HighlightClass::Word, letter, letter + 1);
    MarkBytes(HighlightClass::Number, value, i_);
    firstWordColumn_ = Column(i_);
  }

  void GWord(std::size_t letter) {
    const ReadResult r = ReadInteger(2);
    if (Failed()) return;
    const std::optional<int> group = ClassifyG(r.value);
    if (!group) return Fail(kErrUnknownFunction);
    if ((gSeen_ & Bit(*group)) != 0) return Fail(kErrSameGroupTwice);
    gSeen_ |= Bit(*group);
    if (*group == kGJump) flow_ = true;
    CheckCombination();
    if (Failed()) return;
    b_.G[static_cast<std::size_t>(*group)] = r.value;
    if ((gSeen_ & Bit(kGMotion)) != 0) b_.Motion = true;
    MarkBytes(HighlightClass::Word, letter, i_);
  }

  void MWord(std::size_t letter) {
    const ReadResult r = ReadInteger(2);
    if (Failed()) return;
    const std::optional<int> group = ClassifyM(r.value);
    if (!group) return Fail(kErrUnknownFunction);
    if ((mSeen_ & Bit(*group)) != 0) return Fail(kErrSameGroupTwice);
    mSeen_ |= Bit(*group);
    if (*group == kMFlow || *group == kMQuill) flow_ = true;
    CheckCombination();
    if (Failed()) return;
    b_.M[static_cast<std::size_t>(*group)] = r.value;
    MarkBytes(HighlightClass::Word, letter, i_);
  }

  void FeedOrSpeedWord(char c, std::size_t letter) {
    const ReadResult r = ReadInteger(4);
    if (Failed()) return;
    const bool feed = c == 'F';
    bool& seen = feed ? fSeen_ : sSeen_;
    if (seen) return Fail(kErrSameGroupTwice);
    if (flow_) return Fail(kErrBadCombination);
    if (r.value > (feed ? in_.limits_->MaxPosuv : in_.limits_->MaxOtacky)) {
      return Fail(kErrMachineLimit);
    }
    seen = true;
    (feed ? b_.F : b_.S) = r.value;
    MarkBytes(HighlightClass::Word, letter, i_);
  }

  void ToolWordValue(std::size_t letter) {
    const std::size_t value = i_;
    const ToolWord word = ScanToolWord(line_, in_.limits_->Mist_v_zas, i_);
    if (word.error != kErrNone) return Fail(word.error);
    if (tSeen_) return Fail(kErrSameGroupTwice);
    if (flow_) return Fail(kErrBadCombination);
    tSeen_ = true;
    b_.T = word.tool;
    b_.D = word.correction;
    MarkBytes(HighlightClass::Word, letter, letter + 1);
    MarkBytes(HighlightClass::Number, value, i_);
  }

  void AxisWord(char c, std::size_t letter) {
    const std::size_t value = i_;
    // Only a value that starts with ":" names a variable: in "X-:A" or "X1:A" the sign or the
    // digits would be dropped silently, so those stay malformed numbers.
    const bool variable = i_ < line_.size() && line_[i_] == ':';
    std::int32_t v = 0;
    if (variable) {
      if (!VariableReference(v)) return;
    } else {
      const ReadResult r = ReadDecimal(true);
      if (Failed()) return;
      v = r.value;
    }
    gSeen_ |= Bit(kGMotion);
    CheckCombination();
    if (Failed()) return;
    b_.Motion = true;
    const unsigned axis = c == 'I'                 ? kAxisI
                          : c == 'K'               ? kAxisK
                          : (c == 'X' || c == 'U') ? kAxisX
                                                   : kAxisZ;
    if ((axes_ & axis) != 0) return Fail(kErrBadCoordinates);
    axes_ |= axis;
    if (execute_ && (axis == kAxisI || axis == kAxisK) && !IsArc(b_)) {
      return Fail(kErrBadCoordinates);
    }
    StoreAxis(c, v);
    if (Failed()) return;
    MarkBytes(HighlightClass::Word, letter, letter + 1);
    MarkBytes(variable ? HighlightClass::Variable : HighlightClass::Number, value, i_);
  }

  void StoreAxis(char c, std::int32_t v) {
    switch (c) {
      case 'X':
        if (b_.G[kGDimensions] == 90) {
          b_.X = v;
        } else {
          AddTo(b_.X, v);
        }
        break;
      case 'Z':
        if (b_.G[kGDimensions] == 90) {
          b_.Z = v;
        } else {
          AddTo(b_.Z, v);
        }
        break;
      case 'U':
        AddTo(b_.X, v);
        break;
      case 'W':
        AddTo(b_.Z, v);
        break;
      case 'I':
        b_.I = v;
        break;
      default:
        b_.K = v;
        break;
    }
  }

  // Incremental words add up over a program; a sum beyond 32 bits is far outside any machine.
  void AddTo(std::int32_t& coordinate, std::int32_t delta) {
    const std::int64_t sum = static_cast<std::int64_t>(coordinate) + delta;
    if (sum > std::numeric_limits<std::int32_t>::max() ||
        sum < std::numeric_limits<std::int32_t>::min()) {
      return Fail(kErrMachineLimit);
    }
    coordinate = static_cast<std::int32_t>(sum);
  }

  // i_ is at the ":". Without execution the value is a placeholder 0.
  bool VariableReference(std::int32_t& value) {
    const std::size_t name = ++i_;
    while (i_ < line_.size() && IsNameChar(line_[i_])) ++i_;
    if (i_ == name || (i_ < line_.size() && line_[i_] != ' ')) {
      Fail(kErrVariableFormat);
      return false;
    }
    value = 0;
    if (!execute_) return true;
    const std::string_view wanted = line_.substr(name, i_ - name);
    // The latest definition wins, so redefining a name in a block takes effect.
    for (std::size_t k = in_.variableCount_; k-- > 0;) {
      if (in_.variables_[k].name == wanted) {
        value = in_.variables_[k].value;
        return true;
      }
    }
    Fail(kErrVariableUndefined);
    return false;
  }

  void LWord(std::size_t letter) {
    const bool afterMotion = (gSeen_ & Bit(kGMotion)) != 0;
    const bool afterJump = (gSeen_ & Bit(kGJump)) != 0;
    if (!afterMotion && !afterJump) return Fail(kErrUnknownParameter);
    const std::size_t value = i_;
    const ReadResult r = afterMotion ? ReadDecimal(false) : ReadInteger(4);
    if (Failed()) return;
    if (afterMotion && r.value < 0) return Fail(kErrNumberFormat);
    if (lSeen_) return Fail(kErrSameGroupTwice);
    lSeen_ = true;
    (afterMotion ? b_.LValue : b_.LTarget) = r.value;
    MarkBytes(HighlightClass::Word, letter, letter + 1);
    MarkBytes(HighlightClass::Number, value, i_);
  }

  void SkipMark(std::size_t letter) {
    if (i_ < line_.size() && line_[i_] == '/') {
      i_ = letter;
      return Comment(line_.size());
    }
    if (i_ >= line_.size()) return;  // a "/" closing the line means nothing
    if (Column(letter) != firstWordColumn_) return Fail(kErrBlockFormat);
    if (mdi_) return Fail(kErrNotInMdi);
    b_.Skip = true;
    MarkBytes(HighlightClass::Word, letter, letter + 1);
  }

  void VariableDefinition() {
    if (mdi_) return Fail(kErrNotInMdi);
    const std::size_t colon = i_++;
    const std::size_t name = i_;
    while (i_ < line_.size() && IsNameChar(line_[i_])) ++i_;
    const std::size_t nameEnd = i_;
    // What stands after the name is judged first: ":/1." is a bad variable, ": 1." no word.
    if (i_ < line_.size() && line_[i_] != ' ') return Fail(kErrVariableFormat);
    if (nameEnd == name) return Fail(kErrBlockFormat);
    MarkBytes(HighlightClass::Variable, colon, nameEnd);
    while (i_ < line_.size() && line_[i_] == ' ') ++i_;
    const std::size_t value = i_;
    const ReadResult r = ReadDecimal(true);
    if (Failed()) return;
    MarkBytes(HighlightClass::Number, value, i_);
    if (!execute_) return;
    if (in_.variableCount_ >= kMaxVariables) return Fail(kErrTooManyVariables);
    NcVariable& slot = in_.variables_[in_.variableCount_++];
    slot.name.assign(line_.substr(name, nameEnd - name));
    slot.value = r.value;
  }

  // Skips the comment [i_, end), which may hold any characters.
  void Comment(std::size_t end) {
    int continuation = 0;
    for (std::size_t k = i_; k < end; ++k) {
      if (IsContinuationByte(line_[k])) ++continuation;
    }
    const int first = Column(i_);
    Mark(HighlightClass::Comment, first, first + static_cast<int>(end - i_) - continuation - 1);
    columnShift_ += continuation;
    i_ = end;
  }

  // Functions that must stand alone in a block, checked after every G, M and axis word. F, S and
  // T instead test flow_, which makes "G92 S2000" valid but "S2000 G92" not. The first rule that
  // fires decides: a combination that is wrong anywhere is error 11 in MDI too ("G92 M01"), and
  // only a block the combination rules accept is refused as not for MDI.
  void CheckCombination() {
    const bool otherWords = fSeen_ || sSeen_ || tSeen_ || axes_ != 0;
    const auto aloneG = [&](unsigned bit) {
      return (gSeen_ & bit) == 0 || ((gSeen_ & ~bit) == 0 && mSeen_ == 0 && !otherWords);
    };
    const auto aloneM = [&](unsigned bit) {
      return (mSeen_ & bit) == 0 || ((mSeen_ & ~bit) == 0 && gSeen_ == 0 && !otherWords);
    };
    NcError e = kErrNone;
    if (!aloneG(Bit(kGSpeedLimit)) || !aloneG(Bit(kGJump)) || !aloneM(Bit(kMFlow)) ||
        !aloneM(Bit(kMQuill))) {
      e = kErrBadCombination;
    }
    if (e == kErrNone && mdi_ &&
        ((gSeen_ & (Bit(kGJump) | Bit(kGCompensation))) != 0 || (mSeen_ & Bit(kMFlow)) != 0)) {
      e = kErrNotInMdi;
    }
    if (e != kErrNone) Fail(e);
  }

  void EndOfBlockChecks() {
    const bool arc = IsArc(b_);
    if (b_.Motion) {
      if ((axes_ & (kAxisX | kAxisZ)) == 0) {
        return Fail(arc ? kErrCircularFormat : kErrLinearFormat);
      }
      if (arc) {
        if ((axes_ & (kAxisI | kAxisK)) != (kAxisI | kAxisK)) return Fail(kErrCircularFormat);
        const std::int64_t r = RoundedHypot(b_.I, b_.K);
        if (r > std::numeric_limits<std::int32_t>::max()) return Fail(kErrCircularFormat);
        b_.R = static_cast<std::int32_t>(r);
      }
      if ((arc || b_.G[kGMotion] == 1) && b_.F == 0) return Fail(kErrNoFeed);
    }
    if ((gSeen_ & Bit(kGJump)) != 0 && b_.LTarget == -1) return Fail(kErrMissingParameter);
    if (b_.G[kGSpeedLimit] == 92 && b_.S < 1) return Fail(kErrNoSpindleSpeed);
    const int spindle = b_.M[kMSpindle];
    if ((mSeen_ & Bit(kMSpindle)) != 0 && (spindle == 3 || spindle == 4) && b_.S < 1) {
      return Fail(kErrNoSpindleSpeed);
    }
  }

  NcInterpreter& in_;
  const std::string_view line_;
  const bool execute_;
  const bool mdi_;
  NcBlock& b_;

  std::size_t i_ = 0;    // byte index of the scan
  int columnShift_ = 0;  // UTF-8 continuation bytes in the comments passed so far
  unsigned gSeen_ = 0;   // G groups written in this block; an axis word counts as group 0
  unsigned mSeen_ = 0;
  unsigned axes_ = 0;
  bool fSeen_ = false;
  bool sSeen_ = false;
  bool tSeen_ = false;
  bool lSeen_ = false;
  bool flow_ = false;  // G25/G27, M00/M01/M17/M30 or M20/M21 seen: F, S, T refused
  // The column a "/" must stand in: the first word of the line, or the word right after N.
  int firstWordColumn_ = 1;
};

void NcInterpreter::ParseBlock(std::string_view line, bool execute, bool mdi, NcBlock& block) {
  error_ = kErrNone;
  blockNumber_ = kNoBlockNumber;
  for (ColumnSet& set : highlight_) set.reset();
  block.Motion = false;
  block.Skip = false;
  block.I = 0;
  block.K = 0;
  block.R = 0;
  block.LValue = 0;
  block.LTarget = -1;
  block.G[kGSpeedLimit] = kNoFunction;
  block.G[kGJump] = kNoFunction;
  block.M[kMFlow] = kNoFunction;
  BlockScanner(*this, line, execute, mdi, block).Run();
}

}  // namespace soustruh
