#pragma once

#include <map>
#include <string>
#include <vector>

#include "tools/sound/Score.h"

// Reads the text of a score into a Score, one file after another (a later file may use the
// names an earlier one declared). Names are declared before they are used. The first mistake
// stops the reading: false, with "file:line: what is wrong" in error.
//
// The language, one statement a line; a word that starts with # begins a comment to the end of
// the line; an indented line continues the statement above it:
//   song NAME | speed N | tempo N | mixvolume N | globalvolume N
//   sample NAME VOICE [SETTING VALUE]...   settings of the voice, and volume, vibrato, vibspeed,
//                                          vibrise, rate (44100, 22050 or 11025 Hz)
//   channel NAME [pan N] [volume N]
//   phrase NAME [@SAMPLE] STEP...          one step a row
//   pattern NAME ROWS                      then indented lines: CHANNEL ITEM...
//   piece NAME orders FIRST-LAST|FIRST- [loop ORDER] [speed N] [tempo N]   then PATTERN[*N]...
// A step is . (nothing), == (note off), ^^ (note cut) or a note C-5, C#5, Db5 (C-5 is the
// middle C), each optionally followed by @SAMPLE, /VOLUME (0..64), !COMMAND (a letter and two
// hex digits, as D04) and *COUNT. An item of a pattern line is a step or PHRASE[+N|-N][*COUNT],
// the phrase moved up or down N semitones. | between steps is ignored.
class ScoreReader {
public:
    explicit ScoreReader(Score* score) : score_(score) {}

    bool Read(const std::string& text, const std::string& fileName, std::string* error);

private:
    struct Phrase {
        std::vector<ItCell> steps;
    };
    struct Statement {
        std::vector<std::string> words;
        std::vector<int> lines;  // of each word
    };

    bool Run(const Statement& statement);
    bool ReadSong(const Statement& s);
    bool ReadSample(const Statement& s);
    bool ReadChannel(const Statement& s);
    bool ReadPhrase(const Statement& s);
    bool ReadPattern(const Statement& s);
    bool ReadPatternLine(const Statement& s, size_t first, size_t end, ScorePattern& pattern);
    bool ReadPiece(const Statement& s);
    bool ReadOrderRange(const Statement& s, ScorePiece& piece);
    bool ReadPieceSettings(const Statement& s, size_t& w, ScorePiece& piece);
    bool ReadPiecePatterns(const Statement& s, size_t w, ScorePiece& piece);
    bool CheckPieceRun(const Statement& s, const ScorePiece& piece);
    bool ReadStep(const Statement& s, size_t word, int defaultSample, std::vector<ItCell>& out);
    bool ReadPhraseItem(const Statement& s, size_t word, std::vector<ItCell>& out);

    bool Number(const Statement& s, size_t word, int low, int high, int* out);
    bool Fail(const Statement& s, size_t word, const std::string& message);
    std::string Where(const Statement& s, size_t word) const;

    Score* score_;
    std::map<std::string, Phrase> phrases_;
    std::string fileName_;
    std::string error_;
};
