#pragma once

#include <string>

// The game's files at start: the folder holding "data.qzr" is found beside the program or, once
// installed, in ../share/zelmar beside it, whatever the working directory; the shader sources must
// lie there too; and every entry of the archive must pass its check. A game that started without
// them would run blind, so a problem stops it before any window opens, with one clear line.
class DataCheck {
public:
    // Empty when the data beside this program folder is complete and intact, with the data folder
    // in *dataDirectory; otherwise the line that says what is wrong, naming the file.
    static std::string Problem(const std::string& programDirectory, std::string* dataDirectory);

    // The check for the running program: on a problem the line goes to standard error and into a
    // message box, and the result is false (the program then exits with status 1).
    static bool Run(std::string* dataDirectory);
};
