#include "TableAccess.h"

#include "GameState.h"
#include "MFormDeluxe.h"
#include "Playable.h"
#include "Seats.h"
#include "Table.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QFrame>
#include <QListWidget>
#include <QPointer>
#include <functional>
#include <vector>

namespace {

// How a seat is spoken of: the game's own names without their full stop.
QString SeatName(int seat) {
    return Seats::IsSeat(seat) ? QString::fromLatin1(Seats::Table[seat].spoken) : QString();
}

int SeatOfTrickCard(int card) {
    const std::pair<qint16, qint16> trick[] = {{G.TrickCard1, G.TrickSeat1},
                                               {G.TrickCard2, G.TrickSeat2},
                                               {G.TrickCard3, G.TrickSeat3},
                                               {G.TrickCard4, G.TrickSeat4}};
    for (const auto& [c, seat] : trick)
        if (c == card) return seat;
    return 0;
}

bool FaceUp(const CardPic* pic) {
    return pic->Image() == pic->Index();
}

// Only a face-up card is ever named; anything else is just a back.
QString CardName(const CardPic* pic) {
    if (!FaceUp(pic)) return QStringLiteral("Card back");
    const CardRec& c = G.Cards[pic->Index()];
    if (c.Holder == Holders::Trick) {
        const int seat = SeatOfTrickCard(pic->Index());
        if (seat != 0)
            return QStringLiteral("Played by %1: %2")
                .arg(seat == 1 ? QStringLiteral("you") : SeatName(seat), c.FullName);
    }
    if (c.Holder == Holders::Pack && G.GameOn && !pic->isHidden() && c.Suit == G.Trumps)
        return QStringLiteral("Trumps: ") + c.FullName;
    if (ShownNotPlayable(pic->Index())) return c.FullName + QStringLiteral(", not playable");
    return c.FullName;
}

Table* TableOf(const QWidget* w) {
    return w ? qobject_cast<Table*>(w->window()) : nullptr;
}

QRect ScreenRect(const QWidget* w) {
    return QRect(w->mapToGlobal(QPoint(0, 0)), w->size());
}

// A node with no widget of its own: the hand, an opponent's cards, a row of the scores.
// Its place on the screen is that of the widgets it stands for; those widgets are its
// children only when `showMembers` is set.
class Node : public QAccessibleInterface {
  public:
    Node(QWidget* parent, QAccessible::Role role, std::function<QString()> name,
         std::function<QList<QWidget*>()> members, bool showMembers)
        : parent_(parent), role_(role), name_(std::move(name)), members_(std::move(members)),
          showMembers_(showMembers) {}

    bool isValid() const override { return !parent_.isNull(); }
    QObject* object() const override { return nullptr; }
    QWindow* window() const override { return parent_ ? parent_->window()->windowHandle() : nullptr; }
    QAccessibleInterface* parent() const override { return QAccessible::queryAccessibleInterface(parent_); }
    QList<QWidget*> Shown() const { return showMembers_ && parent_ ? members_() : QList<QWidget*>(); }
    int childCount() const override { return int(Shown().size()); }
    QAccessibleInterface* child(int i) const override {
        const QList<QWidget*> shown = Shown();
        return i >= 0 && i < shown.size() ? QAccessible::queryAccessibleInterface(shown[i]) : nullptr;
    }
    int indexOfChild(const QAccessibleInterface* child) const override {
        return child ? int(Shown().indexOf(qobject_cast<QWidget*>(child->object()))) : -1;
    }
    QAccessibleInterface* childAt(int x, int y) const override {
        for (QWidget* w : Shown())
            if (ScreenRect(w).contains(x, y)) return QAccessible::queryAccessibleInterface(w);
        return nullptr;
    }
    QString text(QAccessible::Text t) const override {
        return t == QAccessible::Name && parent_ ? name_() : QString();
    }
    void setText(QAccessible::Text, const QString&) override {}
    QRect rect() const override {
        QRect r;
        if (parent_)
            for (QWidget* w : members_())
                if (!w->isHidden()) r |= ScreenRect(w);
        return r;
    }
    QAccessible::Role role() const override { return role_; }
    QAccessible::State state() const override {
        QAccessible::State s;
        s.invisible = rect().isEmpty();
        return s;
    }

  private:
    QPointer<QWidget> parent_;
    QAccessible::Role role_;
    std::function<QString()> name_;
    std::function<QList<QWidget*>()> members_;
    bool showMembers_;
};

// A widget interface that keeps some nodes of its own, deleted with it.
class WithNodes : public QAccessibleWidget {
  public:
    WithNodes(QWidget* w, QAccessible::Role role, const QString& name)
        : QAccessibleWidget(w, role), name_(name) {}
    QString text(QAccessible::Text t) const override {
        return t == QAccessible::Name ? name_ : QAccessibleWidget::text(t);
    }
    ~WithNodes() override {
        for (QAccessible::Id id : ids_)
            QAccessible::deleteAccessibleInterface(id);
    }

  protected:
    QAccessibleInterface* Add(Node* node) {
        ids_.push_back(QAccessible::registerAccessibleInterface(node));
        return node;
    }
    virtual QList<QAccessibleInterface*> Children() const = 0;

  public:
    int childCount() const override { return int(Children().size()); }
    QAccessibleInterface* child(int i) const override {
        const auto c = Children();
        return i >= 0 && i < c.size() ? c[i] : nullptr;
    }
    int indexOfChild(const QAccessibleInterface* child) const override {
        return int(Children().indexOf(const_cast<QAccessibleInterface*>(child)));
    }

  private:
    QString name_;
    std::vector<QAccessible::Id> ids_;
};

QList<QWidget*> Widgets(const QList<CardPic*>& pics) {
    return QList<QWidget*>(pics.begin(), pics.end());
}

QList<CardPic*> CardsOf(const QWidget* client, int holder) {
    QList<CardPic*> out;
    for (CardPic* pic : client->findChildren<CardPic*>(Qt::FindDirectChildrenOnly))
        if (G.Cards[pic->Index()].Holder == holder && !pic->isHidden()) out << pic;
    return out;
}

// The table's client area: its controls, the face-up cards outside the hand, the hand as a
// group and one node per opponent, in place of the 52 card pictures.
class TableArea : public WithNodes {
  public:
    explicit TableArea(QWidget* client)
        : WithNodes(client, QAccessible::Client, QStringLiteral("Card table")) {
        hand_ = Add(new Node(
            client, QAccessible::Grouping, [] { return QStringLiteral("Your hand"); },
            [client] { return Widgets(PlayerHandPics(client)); }, true));
        for (int seat = 2; seat <= 4; ++seat) {
            opponents_ << Add(new Node(
                client, QAccessible::StaticText,
                [seat] {
                    int n = 0;
                    for (int c = 1; c <= 52; ++c)
                        n += G.Cards[c].Holder == seat;
                    return QStringLiteral("%1: %2 card%3").arg(SeatName(seat)).arg(n).arg(n == 1 ? "" : "s");
                },
                [client, seat] { return Widgets(CardsOf(client, seat)); }, false));
        }
    }

  protected:
    QList<QAccessibleInterface*> Children() const override {
        QList<QAccessibleInterface*> out;
        bool cardsDone = false;
        for (QObject* o : widget()->children()) {
            auto* w = qobject_cast<QWidget*>(o);
            if (!w || w->isWindow()) continue;
            auto* pic = qobject_cast<CardPic*>(w);
            if (!pic) {
                if (QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(w)) out << iface;
                continue;
            }
            if (cardsDone) continue;
            cardsDone = true;
            for (CardPic* p : widget()->findChildren<CardPic*>(Qt::FindDirectChildrenOnly))
                if (FaceUp(p) && !p->isHidden() && G.Cards[p->Index()].Holder != 1)
                    out << QAccessible::queryAccessibleInterface(p);
            out << hand_ << opponents_;
        }
        return out;
    }

  private:
    QAccessibleInterface* hand_ = nullptr;
    QList<QAccessibleInterface*> opponents_;
};

// A card picture: named by its face when face up, with its place in the game.
class CardAccessible : public QAccessibleWidget {
  public:
    explicit CardAccessible(CardPic* pic) : QAccessibleWidget(pic, QAccessible::Button) {}
    CardPic* Pic() const { return static_cast<CardPic*>(widget()); }
    bool InHand() const { return FaceUp(Pic()) && G.Cards[Pic()->Index()].Holder == 1; }

    QString text(QAccessible::Text t) const override {
        return t == QAccessible::Name ? CardName(Pic()) : QString();
    }
    QAccessibleInterface* parent() const override {
        QAccessibleInterface* area = QAccessibleWidget::parent();
        if (InHand() && area)
            for (int i = 0; i < area->childCount(); ++i)
                if (QAccessibleInterface* c = area->child(i); c && c->role() == QAccessible::Grouping)
                    return c;
        return area;
    }
    QAccessible::State state() const override {
        QAccessible::State s = QAccessibleWidget::state();
        s.focusable = InHand();
        return s;
    }
    QStringList actionNames() const override { return InHand() ? QStringList{pressAction()} : QStringList(); }
    // Pressing a card is clicking it, started afresh from the event loop.
    void doAction(const QString& action) override {
        if (action != pressAction() || !InHand()) return;
        QPointer<CardPic> pic = Pic();
        QMetaObject::invokeMethod(
            pic,
            [pic] {
                if (pic) pic->Activate();
            },
            Qt::QueuedConnection);
    }
};

// The score board: a list with one row per seat, its name and its scores.
class ScoreBoard : public WithNodes {
  public:
    explicit ScoreBoard(QWidget* frame) : WithNodes(frame, QAccessible::List, QStringLiteral("Scores")) {
        for (int seat = 1; seat <= 4; ++seat) {
            rows_ << Add(new Node(
                frame, QAccessible::ListItem,
                [frame, seat] {
                    Table* t = TableOf(frame);
                    if (!t || !t->LblScores[seat] || !t->LblHandSc[seat]) return QString();
                    QString row = t->LblScores[seat]->text().simplified();
                    const QString hand = t->LblHandSc[seat]->text().simplified();
                    if (!hand.isEmpty()) row += QStringLiteral(", hand score ") + hand;
                    return row;
                },
                [frame, seat] {
                    Table* t = TableOf(frame);
                    QList<QWidget*> cells;
                    if (t && t->LblScores[seat] && t->LblHandSc[seat])
                        cells << t->LblScores[seat] << t->LblHandSc[seat];
                    return cells;
                },
                false));
        }
    }
    QString text(QAccessible::Text t) const override {
        return t == QAccessible::Description ? QStringLiteral("Game score and hand score of each player")
                                             : WithNodes::text(t);
    }

  protected:
    QList<QAccessibleInterface*> Children() const override { return rows_; }

  private:
    QList<QAccessibleInterface*> rows_;
};

// "Bid: 2 Tricks made: 0" says whose it is.
class BidLabel : public QAccessibleWidget {
  public:
    BidLabel(QWidget* label, int seat) : QAccessibleWidget(label, QAccessible::StaticText), seat_(seat) {}
    QString text(QAccessible::Text t) const override {
        if (t != QAccessible::Name) return QString();
        const QString shown = static_cast<QLabel*>(widget())->text();
        return SeatName(seat_) + QStringLiteral(": ") +
               (shown.isEmpty() ? QStringLiteral("no bid yet") : shown);
    }

  private:
    int seat_;
};

QAccessibleInterface* Factory(const QString& className, QObject* object) {
    if (!object || !object->isWidgetType()) return nullptr;
    auto* w = static_cast<QWidget*>(object);
    if (className == QLatin1String("CardPic")) return new CardAccessible(static_cast<CardPic*>(w));
    if (className == QLatin1String("MFormDeluxe")) return new QAccessibleWidget(w, QAccessible::Dialog);
    if (className == QLatin1String("QLabel") && object->property("bidSeat").isValid())
        return new BidLabel(w, object->property("bidSeat").toInt());
    if (className == QLatin1String("QFrame") && object->objectName() == QLatin1String("FramScores"))
        return new ScoreBoard(w);
    if (className == QLatin1String("QWidget") && object->objectName() == QLatin1String("Table") &&
        qobject_cast<Table*>(w->parentWidget()))
        return new TableArea(w);
    return nullptr;
}

} // namespace

void InstallTableAccessibility() {
    static bool installed = false;
    if (installed) return;
    installed = true;
    QAccessible::installFactory(Factory);
}

// Qt 6.4 has no announcement event: the new line is reported as the list's selection, and
// it becomes the list's description, which a screen reader reads out with the list.
void AnnounceListLine(QListWidget* list, int row) {
    if (QListWidgetItem* item = list->item(row)) list->setAccessibleDescription(item->text());
    QAccessibleEvent event(list, QAccessible::Selection);
    event.setChild(row);
    QAccessible::updateAccessibility(&event);
}
