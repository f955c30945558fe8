#include "platform/win/desktop.h"

#include <vector>

#include "platform/rtl/fileops.h"
#include "platform/rtl/strutils.h"
#include "platform/win/launcher.h"
#include "platform/win/registry.h"

namespace {

String Configured;

std::vector<String> SplitBlanks(const String& Text)
{
    std::vector<String> words;
    String word;
    for (char c : Text + " ") {
        if (c != ' ' && c != '\t') {
            word += c;
        } else if (!word.empty()) {
            words.push_back(word);
            word.clear();
        }
    }
    return words;
}

const char* const Calculators[] = {"gnome-calculator", "kcalc", "galculator", "xcalc"};

}  // namespace

String CalculatorCommand()
{
    if (!Trim(Configured).empty())
        return Trim(Configured);
    const String stored = Trim(Registry().ReadMachineString("SOFTWARE\\KORVANE\\", "Calculator Command"));
    if (!stored.empty())
        return stored;
    for (const char* program : Calculators) {
        if (!FindProgram(program).empty())
            return program;
    }
    return String();
}

String CalculatorChoices()
{
    String text;
    const size_t count = std::size(Calculators);
    for (size_t i = 0; i < count; ++i)
        text += String(i == 0 ? "" : i + 1 == count ? " or " : ", ") + Calculators[i];
    return text;
}

void SetCalculatorCommand(const String& Command) { Configured = Command; }

bool RunCalculator()
{
    std::vector<String> words = SplitBlanks(CalculatorCommand());
    if (words.empty())
        return false;
    const String program = words.front();
    words.erase(words.begin());
    return Launcher().Run(program, words, true) >= 0;
}

bool ShowDocument(const String& FileName)
{
    const String path = ResolvePath(FileName);
    if (!FileExists(path))
        return false;
    return Launcher().ShellOpen(path);
}
