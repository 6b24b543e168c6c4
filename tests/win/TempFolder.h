// A new folder under the user's temporary folder for one test, deleted with
// everything in it when the test lets it go.
#pragma once

#include <string>

class TempFolder {
public:
    // %TEMP%\vemora-<tag>-<process>-<tick>-<count>, made on the spot.
    explicit TempFolder(const wchar_t* tag);
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    ~TempFolder();

    const std::wstring& Path() const { return path_; }

private:
    std::wstring path_;
};

// Deletes a folder with everything in it, read-only entries included; true
// when it is gone.
bool RemoveTree(const std::wstring& folder);
