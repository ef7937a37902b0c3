#pragma once
#include <QPointer>
#include <QWidget>

class CardPic;

// The keyboard's mark on the focused card: a brown band, the playing area's border colour,
// lined with the labels' light yellow, drawn just outside the card's edge so that nothing of
// its face (the corner index least of all) is covered. Drawn in logical pixels, so it keeps
// its weight at every zoom and scale. One per table, above the cards, never in a click's way.
class FocusRing : public QWidget {
  public:
    static constexpr int Margin = 5;
    explicit FocusRing(QWidget* table);
    // Around `card` when it has the keyboard and the keys are in use; hidden otherwise.
    static void Follow(CardPic* card);

  protected:
    void paintEvent(QPaintEvent*) override;

  private:
    QPointer<CardPic> card_;
};
