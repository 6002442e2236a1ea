#pragma once

#include <allegro.h>

#include "scores/high_score_table.h"

// Draws the title and the five rows of the table.
void drawHighScoreRows(BITMAP* frame, FONT* textFont, const HighScoreTable& table);

// Top of row i of the table screen.
constexpr int highScoreRowY(int i)
{
    return 70 + 25 * i;
}
