#pragma once
// The procedures' shorthand for the record the player follows: it is kept (GameRecord), then
// the table shows it afresh.
#include "GameRecord.h"
#include "Resume.h"
#include "TableView.h"

struct Game;

template <typename Keep, typename... Args> void Note(Game& game, Keep keep, Args... args) {
    keep(game, args...);
    View().Follow();
}
