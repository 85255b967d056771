#include "tools/sound/ScoreReader.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdlib>
#include <sstream>

namespace {

constexpr int kMaxSongName = 25;
constexpr int kMaxOrder = ItModule::kMaxOrders - 1;
constexpr int kSemitonesPerOctave = 12;
constexpr int kHighestNote = 119;
constexpr int kMaxRepeat = 256;

// Semitones above C of the note letters A..G.
constexpr int kLetterSemitone[] = {9, 11, 0, 2, 4, 5, 7};

bool IsNameStart(char c) { return c >= 'a' && c <= 'z'; }
bool IsNameChar(char c) { return IsNameStart(c) || (c >= '0' && c <= '9') || c == '_'; }

bool IsName(const std::string& word)
{
    return !word.empty() && IsNameStart(word[0]) && std::all_of(word.begin(), word.end(), IsNameChar);
}

// Reads a whole word as a decimal number (a sign allowed); false for anything else.
bool ParseInt(const std::string& text, long* out)
{
    if (text.empty() || text.size() > 9) return false;
    size_t start = (text[0] == '-' || text[0] == '+') ? 1 : 0;
    if (start == text.size()) return false;
    for (size_t i = start; i < text.size(); ++i) {
        if (!std::isdigit(static_cast<unsigned char>(text[i]))) return false;
    }
    *out = std::strtol(text.c_str(), nullptr, 10);
    return true;
}

bool ParseReal(const std::string& text, double* out)
{
    if (text.empty()) return false;
    char* end = nullptr;
    *out = std::strtod(text.c_str(), &end);
    return end == text.c_str() + text.size() && std::isfinite(*out);
}

// C-5, C#5, Db5: the tracker's note number, or -1.
int ParseNote(const std::string& text)
{
    if (text.size() != 3 || text[0] < 'A' || text[0] > 'G' || !std::isdigit(static_cast<unsigned char>(text[2]))) return -1;
    int note = kLetterSemitone[text[0] - 'A'] + (text[2] - '0') * kSemitonesPerOctave;
    switch (text[1]) {
    case '-': break;
    case '#': ++note; break;
    case 'b': --note; break;
    default: return -1;
    }
    return note >= 0 && note <= kHighestNote ? note : -1;
}

int HexDigit(char c)
{
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

template <typename Item>
int FindByName(const std::vector<Item>& items, const std::string& name)
{
    for (size_t i = 0; i < items.size(); ++i) {
        if (items[i].name == name) return static_cast<int>(i);
    }
    return -1;
}

// Splits off the longest run of characters that pass the test, starting at at.
std::string TakeWhile(const std::string& text, size_t& at, bool (*test)(char))
{
    const size_t start = at;
    while (at < text.size() && test(text[at])) ++at;
    return text.substr(start, at - start);
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// A comment begins with a # that starts a word: the # of a sharp (C#5) is part of its note.
size_t CommentStart(const std::string& line)
{
    for (size_t i = 0; i < line.size(); ++i) {
        if (line[i] == '#' && (i == 0 || std::isspace(static_cast<unsigned char>(line[i - 1])))) return i;
    }
    return std::string::npos;
}

}  // namespace

bool ScoreReader::Read(const std::string& text, const std::string& fileName, std::string* error)
{
    fileName_ = fileName;
    std::istringstream lines(text);
    std::string line;
    Statement statement;
    int number = 0;
    bool ok = true;
    while (ok && std::getline(lines, line)) {
        ++number;
        const std::string code = line.substr(0, CommentStart(line));
        std::istringstream words(code);
        std::string word;
        const bool continues = !code.empty() && (code[0] == ' ' || code[0] == '\t');
        bool first = true;
        while (words >> word) {
            if (first && !continues) {
                if (!statement.words.empty()) ok = Run(statement);
                statement = Statement{};
                if (!ok) break;
            }
            if (first && continues && statement.words.empty()) {
                error_ = fileName_ + ":" + std::to_string(number) + ": an indented line with nothing above it to continue";
                ok = false;
                break;
            }
            first = false;
            statement.words.push_back(word);
            statement.lines.push_back(number);
        }
    }
    if (ok && !statement.words.empty()) ok = Run(statement);
    if (!ok && error != nullptr) *error = error_;
    return ok;
}

bool ScoreReader::Run(const Statement& s)
{
    const std::string& keyword = s.words[0];
    if (keyword == "song" || keyword == "speed" || keyword == "tempo" || keyword == "mixvolume" || keyword == "globalvolume") {
        return ReadSong(s);
    }
    if (keyword == "sample") return ReadSample(s);
    if (keyword == "channel") return ReadChannel(s);
    if (keyword == "phrase") return ReadPhrase(s);
    if (keyword == "pattern") return ReadPattern(s);
    if (keyword == "piece") return ReadPiece(s);
    return Fail(s, 0, "unknown statement '" + keyword + "'");
}

bool ScoreReader::ReadSong(const Statement& s)
{
    if (s.words.size() != 2) return Fail(s, 0, "'" + s.words[0] + "' takes one value");
    const std::string& keyword = s.words[0];
    if (keyword == "song") {
        if (s.words[1].size() > kMaxSongName) return Fail(s, 1, "a song name has at most 25 characters");
        score_->song = s.words[1];
        return true;
    }
    if (keyword == "speed") return Number(s, 1, 1, 255, &score_->speed);
    if (keyword == "tempo") return Number(s, 1, 32, 255, &score_->tempo);
    if (keyword == "mixvolume") return Number(s, 1, 0, 128, &score_->mixVolume);
    return Number(s, 1, 0, 128, &score_->globalVolume);
}

bool ScoreReader::ReadSample(const Statement& s)
{
    if (s.words.size() < 3 || s.words.size() % 2 == 0) return Fail(s, 0, "a sample is: sample NAME VOICE [SETTING VALUE]...");
    if (!IsName(s.words[1])) return Fail(s, 1, "'" + s.words[1] + "' is not a name (a-z, 0-9, _)");
    if (FindByName(score_->samples, s.words[1]) >= 0) return Fail(s, 1, "sample '" + s.words[1] + "' is already declared");
    if (score_->samples.size() >= ItModule::kMaxSamples) return Fail(s, 0, "more than 99 samples");
    ScoreSample sample;
    sample.name = s.words[1];
    sample.voice = Voice::Find(s.words[2]);
    if (sample.voice == nullptr) return Fail(s, 2, "unknown voice '" + s.words[2] + "'");
    sample.settings = sample.voice->Defaults();
    for (size_t w = 3; w + 1 < s.words.size(); w += 2) {
        const std::string& key = s.words[w];
        if (key == "volume" && !Number(s, w + 1, 0, 64, &sample.volume)) return false;
        if (key == "vibrato" && !Number(s, w + 1, 0, 32, &sample.vibratoDepth)) return false;
        if (key == "vibspeed" && !Number(s, w + 1, 0, 64, &sample.vibratoSpeed)) return false;
        if (key == "vibrise" && !Number(s, w + 1, 0, 255, &sample.vibratoRise)) return false;
        if (key == "rate") {
            if (!Number(s, w + 1, 0, Sound::kSampleRate, &sample.rate)) return false;
            if (sample.rate != Sound::kSampleRate && sample.rate != Sound::kSampleRate / 2 && sample.rate != Sound::kSampleRate / 4) {
                return Fail(s, w + 1, "a sample's rate is 44100, 22050 or 11025");
            }
        }
        if (key == "volume" || key == "vibrato" || key == "vibspeed" || key == "vibrise" || key == "rate") continue;
        const VoiceParam* param = sample.voice->FindParam(key);
        if (param == nullptr) return Fail(s, w, "voice '" + s.words[2] + "' has no setting '" + key + "'");
        double value = 0.0;
        if (!ParseReal(s.words[w + 1], &value) || value < param->low || value > param->high) {
            std::ostringstream range;
            range << param->low << " to " << param->high;
            return Fail(s, w + 1, "'" + key + "' takes a number from " + range.str());
        }
        sample.settings.Set(key, value);
    }
    score_->samples.push_back(sample);
    return true;
}

bool ScoreReader::ReadChannel(const Statement& s)
{
    if (s.words.size() < 2 || s.words.size() % 2 == 1) return Fail(s, 0, "a channel is: channel NAME [pan N] [volume N]");
    if (!IsName(s.words[1])) return Fail(s, 1, "'" + s.words[1] + "' is not a name (a-z, 0-9, _)");
    if (FindByName(score_->channels, s.words[1]) >= 0) return Fail(s, 1, "channel '" + s.words[1] + "' is already declared");
    if (score_->channels.size() >= ItModule::kMaxChannels) return Fail(s, 0, "more than 64 channels");
    ScoreChannel channel;
    channel.name = s.words[1];
    for (size_t w = 2; w + 1 < s.words.size(); w += 2) {
        if (s.words[w] == "pan") {
            if (!Number(s, w + 1, 0, 64, &channel.pan)) return false;
        } else if (s.words[w] == "volume") {
            if (!Number(s, w + 1, 0, 64, &channel.volume)) return false;
        } else {
            return Fail(s, w, "a channel has no setting '" + s.words[w] + "'");
        }
    }
    score_->channels.push_back(channel);
    return true;
}

bool ScoreReader::ReadPhrase(const Statement& s)
{
    if (s.words.size() < 2) return Fail(s, 0, "a phrase is: phrase NAME [@SAMPLE] STEP...");
    if (!IsName(s.words[1])) return Fail(s, 1, "'" + s.words[1] + "' is not a name (a-z, 0-9, _)");
    if (phrases_.count(s.words[1]) != 0) return Fail(s, 1, "phrase '" + s.words[1] + "' is already declared");
    size_t w = 2;
    int defaultSample = 0;
    if (w < s.words.size() && s.words[w][0] == '@') {
        const int found = FindByName(score_->samples, s.words[w].substr(1));
        if (found < 0) return Fail(s, w, "unknown sample '" + s.words[w].substr(1) + "'");
        defaultSample = found + 1;
        ++w;
    }
    Phrase phrase;
    for (; w < s.words.size(); ++w) {
        if (!ReadStep(s, w, defaultSample, phrase.steps)) return false;
        if (phrase.steps.size() > ItModule::kMaxRows) return Fail(s, w, "phrase '" + s.words[1] + "' is longer than any pattern (200 rows)");
    }
    phrases_[s.words[1]] = phrase;
    return true;
}

bool ScoreReader::ReadPattern(const Statement& s)
{
    if (s.words.size() < 3) return Fail(s, 0, "a pattern is: pattern NAME ROWS, then a line for each channel");
    if (!IsName(s.words[1])) return Fail(s, 1, "'" + s.words[1] + "' is not a name (a-z, 0-9, _)");
    if (FindByName(score_->patterns, s.words[1]) >= 0) return Fail(s, 1, "pattern '" + s.words[1] + "' is already declared");
    ScorePattern pattern;
    pattern.name = s.words[1];
    pattern.where = Where(s, 0);
    if (!Number(s, 2, ItModule::kMinRows, ItModule::kMaxRows, &pattern.rows)) return false;
    if (s.words.size() > 3 && s.lines[3] == s.lines[0]) return Fail(s, 3, "the channels of a pattern go on the lines below it");
    for (size_t first = 3; first < s.words.size();) {
        size_t end = first;
        while (end < s.words.size() && s.lines[end] == s.lines[first]) ++end;
        if (!ReadPatternLine(s, first, end, pattern)) return false;
        first = end;
    }
    score_->patterns.push_back(pattern);
    return true;
}

bool ScoreReader::ReadPatternLine(const Statement& s, size_t first, size_t end, ScorePattern& pattern)
{
    const int channel = FindByName(score_->channels, s.words[first]);
    if (channel < 0) return Fail(s, first, "unknown channel '" + s.words[first] + "'");
    if (pattern.columns.count(channel) != 0) return Fail(s, first, "channel '" + s.words[first] + "' has a line already");
    std::vector<ItCell>& column = pattern.columns[channel];
    for (size_t w = first + 1; w < end; ++w) {
        const bool ok = IsNameStart(s.words[w][0]) ? ReadPhraseItem(s, w, column) : ReadStep(s, w, 0, column);
        if (!ok) return false;
        // Empty steps may hang over the end (an echo is a phrase moved later); anything else may not.
        const auto beyond = column.begin() + std::min<std::ptrdiff_t>(pattern.rows, static_cast<std::ptrdiff_t>(column.size()));
        if (std::any_of(beyond, column.end(), [](const ItCell& cell) { return !cell.Empty(); })) {
            return Fail(s, w, "channel '" + s.words[first] + "' runs past the pattern's " + std::to_string(pattern.rows) + " rows");
        }
        column.erase(beyond, column.end());
    }
    return true;
}

bool ScoreReader::ReadPiece(const Statement& s)
{
    if (s.words.size() < 4 || s.words[2] != "orders") {
        return Fail(s, 0, "a piece is: piece NAME orders FIRST-LAST [loop ORDER] [speed N] [tempo N], then its patterns");
    }
    if (!IsName(s.words[1])) return Fail(s, 1, "'" + s.words[1] + "' is not a name (a-z, 0-9, _)");
    if (FindByName(score_->pieces, s.words[1]) >= 0) return Fail(s, 1, "piece '" + s.words[1] + "' is already declared");
    ScorePiece piece;
    piece.name = s.words[1];
    piece.where = Where(s, 0);
    piece.speed = score_->speed;
    piece.tempo = score_->tempo;
    size_t w = 4;
    if (!ReadOrderRange(s, piece) || !ReadPieceSettings(s, w, piece) || !ReadPiecePatterns(s, w, piece) || !CheckPieceRun(s, piece)) {
        return false;
    }
    score_->pieces.push_back(piece);
    return true;
}

bool ScoreReader::ReadOrderRange(const Statement& s, ScorePiece& piece)
{
    const std::string& range = s.words[3];
    const size_t dash = range.find('-');
    long first = 0, last = 0;
    const bool open = dash != std::string::npos && dash + 1 == range.size();
    if (dash == std::string::npos || !ParseInt(range.substr(0, dash), &first) ||
        (!open && !ParseInt(range.substr(dash + 1), &last)) || first < 0 || first > kMaxOrder ||
        (!open && (last < first || last > kMaxOrder))) {
        return Fail(s, 3, "orders are FIRST-LAST or FIRST-, from 0 to 254");
    }
    piece.firstOrder = static_cast<int>(first);
    piece.lastOrder = open ? ScorePiece::kOpenEnded : static_cast<int>(last);
    piece.loopOrder = piece.firstOrder;
    return true;
}

// The settings on the piece's own line, in pairs; w is left at the first pattern name.
bool ScoreReader::ReadPieceSettings(const Statement& s, size_t& w, ScorePiece& piece)
{
    for (; w + 1 < s.words.size() && s.lines[w] == s.lines[0]; w += 2) {
        const std::string& key = s.words[w];
        if (key == "loop" && !Number(s, w + 1, 0, kMaxOrder, &piece.loopOrder)) return false;
        if (key == "speed" && !Number(s, w + 1, 1, 255, &piece.speed)) return false;
        if (key == "tempo" && !Number(s, w + 1, 32, 255, &piece.tempo)) return false;
        if (key != "loop" && key != "speed" && key != "tempo") return Fail(s, w, "a piece has no setting '" + key + "'");
    }
    if (w < s.words.size() && s.lines[w] == s.lines[0]) return Fail(s, w, "a piece's settings come in pairs");
    return true;
}

bool ScoreReader::ReadPiecePatterns(const Statement& s, size_t w, ScorePiece& piece)
{
    for (; w < s.words.size(); ++w) {
        size_t at = 0;
        const std::string name = TakeWhile(s.words[w], at, IsNameChar);
        long repeat = 1;
        if (at < s.words[w].size()) {
            if (s.words[w][at] != '*' || !ParseInt(s.words[w].substr(at + 1), &repeat) || repeat < 1 || repeat > kMaxRepeat) {
                return Fail(s, w, "'" + s.words[w] + "' is not PATTERN or PATTERN*COUNT");
            }
        }
        const int pattern = FindByName(score_->patterns, name);
        if (pattern < 0) return Fail(s, w, "unknown pattern '" + name + "'");
        piece.patterns.insert(piece.patterns.end(), static_cast<size_t>(repeat), pattern);
        if (piece.patterns.size() > ItModule::kMaxOrders) return Fail(s, w, "piece '" + piece.name + "' has more patterns than a module has orders");
    }
    if (piece.patterns.empty()) return Fail(s, 0, "piece '" + piece.name + "' has no patterns");
    return true;
}

// The patterns fit the run, the loop lands on one of them, and no other piece shares an order.
bool ScoreReader::CheckPieceRun(const Statement& s, const ScorePiece& piece)
{
    const int end = piece.firstOrder + static_cast<int>(piece.patterns.size()) - 1;
    if ((piece.lastOrder != ScorePiece::kOpenEnded && end > piece.lastOrder) || end > kMaxOrder) {
        return Fail(s, 0, "piece '" + piece.name + "' has " + std::to_string(piece.patterns.size()) +
                              " patterns, more than its orders hold");
    }
    if (piece.loopOrder < piece.firstOrder || piece.loopOrder > end) {
        return Fail(s, 0, "piece '" + piece.name + "' loops to an order outside its own patterns");
    }
    for (const ScorePiece& other : score_->pieces) {
        if (piece.firstOrder <= other.RunEnd() && other.firstOrder <= piece.RunEnd()) {
            return Fail(s, 3, "orders " + s.words[3] + " overlap those of piece '" + other.name + "'");
        }
    }
    return true;
}

bool ScoreReader::ReadStep(const Statement& s, size_t word, int defaultSample, std::vector<ItCell>& out)
{
    const std::string& text = s.words[word];
    if (text == "|") return true;
    ItCell cell;
    size_t at = 0;
    if (text[0] == '.') {
        at = 1;
    } else if (text.compare(0, 2, "==") == 0) {
        cell.note = ItCell::kNoteOff;
        at = 2;
    } else if (text.compare(0, 2, "^^") == 0) {
        cell.note = ItCell::kNoteCut;
        at = 2;
    } else {
        cell.note = ParseNote(text.substr(0, 3));
        if (cell.note < 0) return Fail(s, word, "unknown note '" + text.substr(0, 3) + "' (notes are C-5, C#5, Db5 ... B-9)");
        cell.sample = defaultSample;
        at = 3;
    }
    long repeat = 1;
    while (at < text.size()) {
        const char mark = text[at++];
        if (mark == '@') {
            const std::string name = TakeWhile(text, at, IsNameChar);
            const int found = FindByName(score_->samples, name);
            if (found < 0) return Fail(s, word, "unknown sample '" + name + "'");
            cell.sample = found + 1;
        } else if (mark == '/') {
            long volume = 0;
            if (!ParseInt(TakeWhile(text, at, IsDigit), &volume) || volume > 64) return Fail(s, word, "a volume is /0 to /64");
            cell.volume = static_cast<int>(volume);
        } else if (mark == '!') {
            if (at + 3 > text.size() || text[at] < 'A' || text[at] > 'Z' || HexDigit(text[at + 1]) < 0 || HexDigit(text[at + 2]) < 0) {
                return Fail(s, word, "a command is ! then a letter and two hex digits, as !D04");
            }
            cell.command = text[at] - 'A' + 1;
            cell.parameter = HexDigit(text[at + 1]) * 16 + HexDigit(text[at + 2]);
            at += 3;
        } else if (mark == '*') {
            if (!ParseInt(TakeWhile(text, at, IsDigit), &repeat) || repeat < 1 || repeat > ItModule::kMaxRows) {
                return Fail(s, word, "a repeat is *1 to *200");
            }
        } else {
            return Fail(s, word, "'" + text + "' is not a step");
        }
    }
    if (cell.note >= 0 && cell.note <= kHighestNote && cell.sample == 0) {
        return Fail(s, word, "note '" + text + "' has no sample: add @SAMPLE or give its phrase one");
    }
    out.insert(out.end(), static_cast<size_t>(repeat), cell);
    return true;
}

bool ScoreReader::ReadPhraseItem(const Statement& s, size_t word, std::vector<ItCell>& out)
{
    const std::string& text = s.words[word];
    size_t at = 0;
    const std::string name = TakeWhile(text, at, IsNameChar);
    const auto phrase = phrases_.find(name);
    if (phrase == phrases_.end()) return Fail(s, word, "unknown phrase '" + name + "'");
    long shift = 0, repeat = 1;
    if (at < text.size() && (text[at] == '+' || text[at] == '-')) {
        const size_t sign = at++;
        TakeWhile(text, at, IsDigit);
        if (!ParseInt(text.substr(sign, at - sign), &shift)) return Fail(s, word, "'" + text + "' moves by a number of semitones, as +5");
    }
    if (at < text.size() && text[at] == '*') {
        ++at;
        if (!ParseInt(TakeWhile(text, at, IsDigit), &repeat) || repeat < 1 || repeat > ItModule::kMaxRows) {
            return Fail(s, word, "a repeat is *1 to *200");
        }
    }
    if (at != text.size()) return Fail(s, word, "'" + text + "' is not PHRASE[+N|-N][*COUNT]");
    for (long r = 0; r < repeat; ++r) {
        for (ItCell cell : phrase->second.steps) {
            if (cell.note >= 0 && cell.note <= kHighestNote) {
                cell.note += static_cast<int>(shift);
                if (cell.note < 0 || cell.note > kHighestNote) return Fail(s, word, "'" + text + "' moves a note out of C-0 to B-9");
            }
            out.push_back(cell);
        }
    }
    return true;
}

bool ScoreReader::Number(const Statement& s, size_t word, int low, int high, int* out)
{
    long value = 0;
    if (!ParseInt(s.words[word], &value) || value < low || value > high) {
        return Fail(s, word, "'" + s.words[word] + "' is not a whole number from " + std::to_string(low) + " to " + std::to_string(high));
    }
    *out = static_cast<int>(value);
    return true;
}

bool ScoreReader::Fail(const Statement& s, size_t word, const std::string& message)
{
    error_ = Where(s, word) + ": " + message;
    return false;
}

std::string ScoreReader::Where(const Statement& s, size_t word) const
{
    return fileName_ + ":" + std::to_string(s.lines[std::min(word, s.lines.size() - 1)]);
}
