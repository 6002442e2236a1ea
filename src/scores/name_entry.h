#pragma once

#include <allegro.h>

#include "scores/high_score_table.h"

// The name written so far on the name-entry screen, by keys or the pad, and
// the last key read.
struct NameEntry {
    char name[HIGH_SCORE_NAME_BYTES] = {};
    int length = 0;
    int lastKey = 0;
};

// Applies one key as returned by readkey (character in the low 8 bits,
// scancode above): types codes 32..127 while fewer than 15 are typed,
// Backspace deletes by scancode.
void applyNameKey(NameEntry& entry, int keyValue);
// True once Enter or Esc (by scancode) has been read.
bool nameEntryFinished(const NameEntry& entry);
// True when the entry ended with Enter, so the name goes into the table.
bool nameEntryConfirmed(const NameEntry& entry);

// Draws the congratulation and the prompt.
void drawNameEntryPrompt(BITMAP* frame, FONT* textFont);
// Draws the name typed so far with an asterisk as its cursor.
void drawNameLine(BITMAP* frame, FONT* textFont, const NameEntry& entry);
