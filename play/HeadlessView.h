#pragma once
// A table with no window: every wait returns at once, every picture and caption is only
// remembered, and the player's seat is played by a strategy. It is the program around the game
// too: the computers' decisions run at once where they are asked (no threads), and Exit ends
// the game it plays. With it the procedures of play run whole games on QtCore alone, for the
// tests and the benchmark.
#include "Decider.h"
#include "Game.h"
#include "TableView.h"

#include <array>
#include <functional>

class HeadlessView : public TableView, public Decider, public Program {
  public:
    // How seat 1 bids and plays; by default as a computer seat would (see Opponents).
    struct Player {
        std::function<qint16()> bid;
        std::function<qint16()> card;
    };
    // The game it shows and plays: `game`, which it keeps no longer than the caller does.
    explicit HeadlessView(Game& game, Player player = {});

    void SetCardImage(int card, int image) override;
    void MoveCard(int card, Layout::Spot at) override;
    void CardToFront(int) override {}
    void ShowCard(int card, bool shown) override;
    void SetCaption(Caption, int, const QString&) override {}
    void ShowInfo(const QString&) override {}
    void ClearInfo() override {}
    void Pause(int) override {}
    void PlaySound(SoundId) override {}
    void Beep() override {}
    void WaitCarryOn() override { game_.G.ContinueFlag = true; }
    qint16 AskBid() override;
    qint16 Decide(int, bool, const std::function<qint16()>& decide) override { return decide(); }
    // Answers with the last button: "Right" to a notice, "Exit" when the game is over.
    int MsgDeluxe(const QString&, const QString& button1, const QString& button2, const QString& button3,
                  qint16, const QString&) override;
    void HandTakesFocus() override {}
    void EnablePlayMenu(bool) override {}
    void Exit() override { exited_ = true; }

    bool Exited() const { return exited_; }
    // The game it shows and plays.
    Game& Played() const { return game_; }
    // A card's picture as remembered: its place, its image, and whether it shows.
    Layout::Spot CardPlace(int card) const { return cards_.at(card).at; }
    int ImageOf(int card) const { return cards_.at(card).image; }
    bool CardShown(int card) const { return cards_.at(card).shown; }

    // Plays one whole game of 19 hands from its first deal (or from `start`, such as a saved
    // game carried on) to the end-of-game question, seat 1 played by the strategy, this view
    // the table, the decider and the program meanwhile. False if the strategy ever chose a
    // card it may not play.
    bool PlayGame(const std::function<void()>& start = {});

  private:
    Game& game_;
    struct Card {
        Layout::Spot at{};
        int image = 0;
        bool shown = false;
    };
    Player player_;
    std::array<Card, 53> cards_{};
    bool exited_ = false;
};
