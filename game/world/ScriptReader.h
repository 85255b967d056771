#pragma once

#include <cstddef>
#include <string>
#include <vector>

// Reads a level script: a sequence of blocks, each a type keyword followed by the tokens between
// "{" and "}". Braces do not nest and are tokens wherever they stand; "#" opens a comment that
// runs to the next "#". The reader owns every string it hands out until it is destroyed.
class ScriptReader {
public:
    struct Block {
        std::string type;
        std::vector<std::string> tokens;
    };

    // Loads the script through ResourceFile and splits it; a script that cannot be loaded reads
    // as an empty one. Both cursors start at 0.
    void Open(const char* fileName);
    // Splits the given text (up to its first NUL byte) as Open does with a file's bytes.
    void OpenText(const char* text, size_t size);

    // The next block's type keyword (never null for an existing block, possibly empty), or null
    // when every block has been handed out.
    const char* NextEntity();
    // The current block's next token, or null when the block has none left.
    const char* NextToken();
    // The next token as a decimal number; 0 when there is none, it does not start with one, or it
    // lies beyond the float's range.
    float ReadFloat();
    // True only for "True"; anything but "False" is also reported. No token left reads as false.
    bool ReadBool();

    const std::vector<Block>& Blocks() const { return blocks_; }

private:
    std::vector<Block> blocks_;
    size_t blockCursor_ = 0;
    size_t tokenCursor_ = 0;
    std::string text_;
};
