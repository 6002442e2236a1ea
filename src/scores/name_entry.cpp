#include "scores/name_entry.h"

namespace {
int scancodeOf(int keyValue)
{
    return keyValue >> 8;
}
} // namespace

void applyNameKey(NameEntry& entry, int keyValue)
{
    entry.lastKey = keyValue;
    const int c = keyValue & 0xff;
    if (c >= 32 && c <= 127 && entry.length <= HIGH_SCORE_NAME_MAX - 1) {
        entry.name[entry.length] = static_cast<char>(c);
        ++entry.length;
    } else if (scancodeOf(keyValue) == KEY_BACKSPACE && entry.length > 0) {
        --entry.length;
    }
    entry.name[entry.length] = '\0';
}

bool nameEntryFinished(const NameEntry& entry)
{
    const int s = scancodeOf(entry.lastKey);
    return s == KEY_ENTER || s == KEY_ESC;
}

bool nameEntryConfirmed(const NameEntry& entry)
{
    return scancodeOf(entry.lastKey) == KEY_ENTER;
}

void drawNameEntryPrompt(BITMAP* frame, FONT* textFont)
{
    textprintf_centre_ex(frame, textFont, 320, 30, -1, -1, "Congratulations! You have made a highscore!");
    textprintf_centre_ex(frame, textFont, 320, 50, -1, -1, "Please enter your name.");
}

void drawNameLine(BITMAP* frame, FONT* textFont, const NameEntry& entry)
{
    textprintf_centre_ex(frame, textFont, 320, 100, -1, -1, "%s*", entry.name);
}

void drawHighScoreRows(BITMAP* frame, FONT* textFont, const HighScoreTable& table)
{
    textprintf_centre_ex(frame, textFont, 320, 30, -1, -1, "H I G H S C O R E S !");
    for (int i = 0; i < HIGH_SCORE_ENTRIES; ++i) {
        const int y = highScoreRowY(i);
        textprintf_right_ex(frame, textFont, 150, y, -1, -1, "%d.  ", i + 1);
        textprintf_ex(frame, textFont, 150, y, -1, -1, "%s", table.name(i));
        textprintf_ex(frame, textFont, 450, y, -1, -1, "%u", static_cast<unsigned>(table.score(i)));
    }
}
