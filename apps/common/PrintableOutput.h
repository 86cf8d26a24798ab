#pragma once
// What the programs write to the terminal never drives it: control characters (an escape
// sequence in a typed argument, a file name or a database value) are written as \xNN, so a
// hostile argument echoed in a message shows as text. Line breaks and tabs pass; so does valid
// UTF-8 text, but not the C1 controls or a byte that is not UTF-8.

#include <memory>
#include <streambuf>

namespace brevanto::apps {

// While alive, std::cout and std::cerr write printable text (create it first thing in main).
class PrintableOutput {
public:
    PrintableOutput();
    ~PrintableOutput();
    PrintableOutput(const PrintableOutput&) = delete;
    PrintableOutput& operator=(const PrintableOutput&) = delete;

private:
    std::unique_ptr<std::streambuf> out_, err_;
    std::streambuf* oldOut_;
    std::streambuf* oldErr_;
};

}  // namespace brevanto::apps
