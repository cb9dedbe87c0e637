// The program's switches: "/nofullscreen", "/width" and "/height", each number in the same token
// after one separator character (as in /width=240).
#pragma once

namespace host {

struct CommandLine
{
    int width = -1;
    int height = -1;
    bool fullScreen = true;
    bool anyToken = false;

    // Tokens are separated by blanks; unknown tokens are ignored. A null line has no tokens.
    static CommandLine parse(const char16_t* line);

    // The display size: the given one only with "/nofullscreen" and two positive numbers,
    // otherwise the screen's.
    void displaySize(int screenWidth, int screenHeight, int& outWidth, int& outHeight) const;
};

} // namespace host
