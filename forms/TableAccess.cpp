#include "TableAccess.h"

#include "Game.h"
#include "GameState.h"
#include "MFormDeluxe.h"
#include "Playable.h"
#include "Rules.h"
#include "Seats.h"
#include "Table.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QFrame>
#include <QListWidget>
#include <QPointer>
#include <QRegularExpression>
#include <functional>
#include <vector>

namespace {

// How a seat is spoken of: the game's own names without their full stop.
QString SeatName(int seat) {
    return Seats::IsSeat(seat) ? QString::fromLatin1(Seats::Table[seat].spoken) : QString();
}

Table* TableOf(const QWidget* w) {
    return w ? qobject_cast<Table*>(w->window()) : nullptr;
}

// The game on the table `w` is part of; for a widget of no table, a game not begun.
const GameState& GameOf(const QWidget* w) {
    static const GameState none;
    const Table* t = TableOf(w);
    return t ? t->G : none;
}

int SeatOfTrickCard(const GameState& G, int card) {
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
    const GameState& G = GameOf(pic);
    const CardRec& c = G.Cards[pic->Index()];
    if (c.Holder == Holders::Trick) {
        const int seat = SeatOfTrickCard(G, pic->Index());
        if (seat != 0)
            return QStringLiteral("Played by %1: %2")
                .arg(seat == 1 ? QStringLiteral("you") : SeatName(seat), c.FullName);
    }
    if (c.Holder == Holders::Pack && G.GameOn && !pic->isHidden() && c.Suit == G.Trumps)
        return QStringLiteral("Trumps: ") + c.FullName;
    if (ShownNotPlayable(G, pic->Index())) return c.FullName + QStringLiteral(", not playable");
    return c.FullName;
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
    const GameState& G = GameOf(client);
    for (CardPic* pic : client->findChildren<CardPic*>(Qt::FindDirectChildrenOnly))
        if (G.Cards[pic->Index()].Holder == holder && !pic->isHidden()) out << pic;
    return out;
}

// Face-down cards nobody holds: the pack.
QList<CardPic*> PackOf(const QWidget* client) {
    QList<CardPic*> out;
    for (CardPic* pic : CardsOf(client, 0))
        if (!FaceUp(pic)) out << pic;
    return out;
}

// The table's client area: its controls, the face-up cards outside the hand, the hand as a
// group and one node per opponent, in place of the 52 card pictures.
class TableArea : public WithNodes {
  public:
    explicit TableArea(QWidget* client)
        : WithNodes(client, QAccessible::Client, QStringLiteral("Card table")) {
        hand_ = Add(new Node(
            client, QAccessible::Grouping,
            [client] {
                return GameOf(client).Turn == 1 ? QStringLiteral("Your hand, your turn")
                                                : QStringLiteral("Your hand");
            },
            [client] { return Widgets(PlayerHandPics(client, GameOf(client))); }, true));
        // The cards lying face down in the middle: before the first deal the whole pack.
        pack_ = Add(new Node(
            client, QAccessible::Graphic,
            [client] {
                const qsizetype n = PackOf(client).size();
                return QStringLiteral("Pack: %1 card%2").arg(n).arg(n == 1 ? "" : "s");
            },
            [client] { return Widgets(PackOf(client)); }, false));
        for (int seat = 2; seat <= 4; ++seat) {
            opponents_ << Add(new Node(
                client, QAccessible::StaticText,
                [client, seat] {
                    int n = 0;
                    for (int c = 1; c <= 52; ++c)
                        n += GameOf(client).Cards[c].Holder == seat;
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
            // The keyboard's mark around a card is drawing only: the card itself reports its focus.
            if (!w || w->isWindow() || w->objectName() == QLatin1String("FocusRing")) continue;
            auto* pic = qobject_cast<CardPic*>(w);
            if (!pic) {
                if (QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(w)) out << iface;
                continue;
            }
            if (cardsDone) continue;
            cardsDone = true;
            for (CardPic* p : widget()->findChildren<CardPic*>(Qt::FindDirectChildrenOnly))
                if (FaceUp(p) && !p->isHidden() && GameOf(p).Cards[p->Index()].Holder != 1)
                    out << QAccessible::queryAccessibleInterface(p);
            if (!PackOf(widget()).isEmpty()) out << pack_;
            out << hand_ << opponents_;
        }
        return out;
    }

  private:
    QAccessibleInterface* pack_ = nullptr;
    QAccessibleInterface* hand_ = nullptr;
    QList<QAccessibleInterface*> opponents_;
};

// A card picture: named by its face when face up, with its place in the game.
class CardAccessible : public QAccessibleWidget {
  public:
    explicit CardAccessible(CardPic* pic)
        : QAccessibleWidget(pic, QAccessible::Button), madeInHand_(InHand()) {}
    CardPic* Pic() const { return static_cast<CardPic*>(widget()); }
    // The role it had when a reader first met it: readers keep a role once read, and Qt can
    // tell of no change of role.
    bool MadeInHand() const { return madeInHand_; }
    bool InHand() const { return FaceUp(Pic()) && GameOf(Pic()).Cards[Pic()->Index()].Holder == 1; }
    // Only a card of the hand can be pressed; the trump and the cards of the trick are pictures.
    QAccessible::Role role() const override { return InHand() ? QAccessible::Button : QAccessible::Graphic; }

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

  private:
    bool madeInHand_;
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
                    // The label shows a name of its own and the game score, "Tabitha : 12";
                    // the row names the seat as the rest of the table does and says which
                    // score is which.
                    QString row = SeatName(seat);
                    static const QRegularExpression scored(QStringLiteral("^(.*\\S)?\\s*:\\s*(-?\\d+)$"));
                    if (const auto m = scored.match(t->LblScores[seat]->text().simplified()); m.hasMatch())
                        row += QStringLiteral(", game score ") + m.captured(2);
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

// The message dialog is kept hidden between uses: hidden, it offers nothing; shown, only
// the controls on show (the unused buttons are hidden panels with no caption).
class DeluxeDialog : public QAccessibleWidget {
  public:
    explicit DeluxeDialog(QWidget* w) : QAccessibleWidget(w, QAccessible::Dialog) {}
    int childCount() const override { return int(Shown().size()); }
    QAccessibleInterface* child(int i) const override {
        const QList<QWidget*> shown = Shown();
        return i >= 0 && i < shown.size() ? QAccessible::queryAccessibleInterface(shown[i]) : nullptr;
    }
    int indexOfChild(const QAccessibleInterface* c) const override {
        return c ? int(Shown().indexOf(qobject_cast<QWidget*>(c->object()))) : -1;
    }

  private:
    QList<QWidget*> Shown() const {
        QList<QWidget*> out;
        if (!widget()->isVisible()) return out;
        for (QWidget* w : widget()->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
            if (!w->isWindow() && !w->isHidden()) out << w;
        return out;
    }
};

// One line of the message list. The list never takes the keyboard, so no line reports focus
// (the list's own cells call its last line focused, as it is the list's current one).
class MessageLine : public QAccessibleInterface {
  public:
    MessageLine(QListWidget* list, int row) : list_(list), row_(row) {}
    // A line taken off the list says nothing more, even when its row is filled again.
    void Retire() { retired_ = true; }
    bool isValid() const override { return !retired_ && list_ && row_ < list_->count(); }
    QObject* object() const override { return nullptr; }
    QWindow* window() const override { return list_ ? list_->window()->windowHandle() : nullptr; }
    QAccessibleInterface* parent() const override { return QAccessible::queryAccessibleInterface(list_); }
    int childCount() const override { return 0; }
    QAccessibleInterface* child(int) const override { return nullptr; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }
    QString text(QAccessible::Text t) const override {
        return t == QAccessible::Name && isValid() ? list_->item(row_)->text() : QString();
    }
    void setText(QAccessible::Text, const QString&) override {}
    QRect rect() const override {
        if (!isValid()) return {};
        const QRect r = list_->visualItemRect(list_->item(row_)) & list_->viewport()->rect();
        return r.isEmpty() ? QRect() : QRect(list_->viewport()->mapToGlobal(r.topLeft()), r.size());
    }
    QAccessible::Role role() const override { return QAccessible::ListItem; }
    QAccessible::State state() const override {
        QAccessible::State s;
        s.readOnly = true;
        s.invisible = rect().isEmpty();
        s.selected = isValid() && list_->item(row_)->isSelected();
        return s;
    }

  private:
    QPointer<QListWidget> list_;
    int row_;
    bool retired_ = false;
};

// The message list: a list of its lines, each named by its text.
class MessageList : public QAccessibleWidget {
  public:
    explicit MessageList(QListWidget* list) : QAccessibleWidget(list, QAccessible::List) {
        // Lines taken away are forgotten with them: the rows filled again for the next hand get
        // lines of their own, so that a reader that keeps what it was told of a line never hears
        // the last hand's words for it. The list may outlive its interface: the connections
        // end with the interface.
        QAbstractItemModel* model = list->model();
        watch_[0] =
            QObject::connect(model, &QAbstractItemModel::modelAboutToBeReset, list, [this] { Forget(); });
        watch_[1] =
            QObject::connect(model, &QAbstractItemModel::rowsAboutToBeRemoved, list, [this] { Forget(); });
    }
    ~MessageList() override {
        for (const QMetaObject::Connection& c : watch_)
            QObject::disconnect(c);
        for (QAccessible::Id id : ids_)
            QAccessible::deleteAccessibleInterface(id);
    }
    // The lines on the list are retired, not deleted: a deleted line's id could be handed to
    // the next new line, and a reader would take the one for the other. The oldest retired
    // lines go for good once there are many.
    void Forget() {
        for (MessageLine* line : lines_)
            line->Retire();
        lines_.clear();
        constexpr size_t kept = 400;
        while (ids_.size() > kept) {
            QAccessible::deleteAccessibleInterface(ids_.front());
            ids_.erase(ids_.begin());
        }
    }
    QListWidget* List() const { return static_cast<QListWidget*>(widget()); }
    int childCount() const override { return List()->count(); }
    QAccessibleInterface* child(int i) const override {
        if (i < 0 || i >= List()->count()) return nullptr;
        while (lines_.size() <= i) {
            lines_ << new MessageLine(List(), int(lines_.size()));
            ids_.push_back(QAccessible::registerAccessibleInterface(lines_.last()));
        }
        return lines_[i];
    }
    int indexOfChild(const QAccessibleInterface* c) const override {
        const int i = int(lines_.indexOf(dynamic_cast<MessageLine*>(const_cast<QAccessibleInterface*>(c))));
        return i < List()->count() ? i : -1;
    }
    QAccessibleInterface* childAt(int x, int y) const override {
        const QPoint at = List()->viewport()->mapFromGlobal(QPoint(x, y));
        const QModelIndex index = List()->indexAt(at);
        return index.isValid() ? child(index.row()) : nullptr;
    }

  private:
    // One per row shown, made when first asked for and kept while the row keeps its line;
    // the ids of these and of the retired ones, oldest first.
    mutable QList<MessageLine*> lines_;
    QMetaObject::Connection watch_[2];
    mutable std::vector<QAccessible::Id> ids_;
};

// A notice for a screen reader: words said once, unasked, whatever has the keyboard. Each is
// an object of its own whose words never change, so a reader that reads it late, or keeps it,
// still reads what was meant; none is ever on the screen.
class Notice : public QAccessibleInterface {
  public:
    Notice(QWidget* owner, const QString& text) : owner_(owner), text_(text) {}
    bool isValid() const override { return !owner_.isNull(); }
    QObject* object() const override { return nullptr; }
    QWindow* window() const override { return owner_ ? owner_->window()->windowHandle() : nullptr; }
    QAccessibleInterface* parent() const override { return QAccessible::queryAccessibleInterface(owner_); }
    int childCount() const override { return 0; }
    QAccessibleInterface* child(int) const override { return nullptr; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }
    QString text(QAccessible::Text t) const override { return t == QAccessible::Name ? text_ : QString(); }
    void setText(QAccessible::Text, const QString&) override {}
    QRect rect() const override { return {}; }
    QAccessible::Role role() const override { return QAccessible::Notification; }
    QAccessible::State state() const override {
        QAccessible::State s;
        s.readOnly = true;
        return s;
    }

  private:
    QPointer<QWidget> owner_;
    QString text_;
};

// Keeps the latest notices of a widget, deleted with it; a reader slow to ask about one of
// the last few still finds it.
class Notices : public QObject {
  public:
    static constexpr int Kept = 40;
    explicit Notices(QWidget* owner) : QObject(owner) { setObjectName(QStringLiteral("Notices")); }
    ~Notices() override {
        for (QAccessible::Id id : ids_)
            QAccessible::deleteAccessibleInterface(id);
    }
    QAccessibleInterface* Add(Notice* n) {
        ids_.push_back(QAccessible::registerAccessibleInterface(n));
        if (ids_.size() > Kept) {
            QAccessible::deleteAccessibleInterface(ids_.front());
            ids_.erase(ids_.begin());
        }
        return n;
    }

  private:
    std::vector<QAccessible::Id> ids_;
};

QAccessibleInterface* Factory(const QString& className, QObject* object) {
    if (!object || !object->isWidgetType()) return nullptr;
    auto* w = static_cast<QWidget*>(object);
    if (className == QLatin1String("CardPic")) return new CardAccessible(static_cast<CardPic*>(w));
    if (className == QLatin1String("MFormDeluxe")) return new DeluxeDialog(w);
    if (className == QLatin1String("QListWidget") && object->objectName() == QLatin1String("List1"))
        return new MessageList(static_cast<QListWidget*>(w));
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

// Qt 6.4 has no announcement event: a notice is shown in its place, which screen readers
// speak as it comes. The line is also the list's selection and its description, for readers
// that look at the list.
void AnnounceListLine(QListWidget* list, int row) {
    QListWidgetItem* item = list->item(row);
    if (!item) return;
    list->setAccessibleDescription(item->text());
    QAccessibleEvent event(list, QAccessible::Selection);
    event.setChild(row);
    QAccessible::updateAccessibility(&event);
    Announce(list, item->text());
}

void Announce(QWidget* owner, const QString& text) {
    if (!owner || text.isEmpty()) return;
    auto* notices = owner->findChild<Notices*>(QStringLiteral("Notices"), Qt::FindDirectChildrenOnly);
    if (!notices) notices = new Notices(owner);
    QAccessibleEvent shown(notices->Add(new Notice(owner, text)), QAccessible::ObjectShow);
    QAccessible::updateAccessibility(&shown);
}

// A card that came into the hand or left it is given a new interface, and so a new identity
// to assistive technology: a reader that kept the role it read (a picture, a button) meets
// the card afresh.
void RenewCardAccessible(CardPic* pic) {
    if (!QAccessible::isActive()) return;
    auto* a = dynamic_cast<CardAccessible*>(QAccessible::queryAccessibleInterface(pic));
    if (a && a->MadeInHand() != a->InHand()) QAccessible::deleteAccessibleInterface(QAccessible::uniqueId(a));
}

namespace {
QString Plural(int n, const char* one) {
    return QStringLiteral("%1 %2%3").arg(n).arg(QLatin1String(one)).arg(n == 1 ? "" : "s");
}
} // namespace

QString TableStatus(const Game& game) {
    const GameState& G = game.G;
    const GameRecord::Record& r = game.sheet;
    const GameRecord::Hand* hand = G.GameOn && !r.hands.empty() ? &r.hands.back() : nullptr;
    if (!hand) return QStringLiteral("No hand in play.");
    const int toAct = GameRecord::SeatToAct(game);
    const QString doing = r.bidder != 0 ? QStringLiteral("bid") : QStringLiteral("play");
    QString line = toAct == 1   ? QStringLiteral("Your turn to ") + doing
                   : toAct != 0 ? SeatName(toAct) + QStringLiteral(" to ") + doing
                                : QStringLiteral("No one to play");
    QStringList played;
    const std::pair<qint16, qint16> trick[] = {{G.TrickCard1, G.TrickSeat1},
                                               {G.TrickCard2, G.TrickSeat2},
                                               {G.TrickCard3, G.TrickSeat3},
                                               {G.TrickCard4, G.TrickSeat4}};
    for (const auto& [card, seat] : trick)
        if (card >= 1 && card <= 52 && Seats::IsSeat(seat))
            played << SeatName(seat) + QStringLiteral(" played ") + G.Cards[card].FullName;
    line += played.isEmpty() ? QStringLiteral("; no card in the trick")
                             : QStringLiteral("; the trick: ") + played.join(QStringLiteral(", "));
    QStringList bids, scores;
    for (int s = 1; s <= 4; ++s) {
        bids << SeatName(s) +
                    (hand->bid[s] ? QStringLiteral(" bid %1").arg(G.Bids[s])
                                  : QStringLiteral(" no bid yet")) +
                    QStringLiteral(", ") + Plural(G.TricksMade[s], "trick");
        scores << SeatName(s) + QStringLiteral(" ") + QString::number(G.GameScore[s]);
    }
    return line + QStringLiteral("; ") + bids.join(QStringLiteral("; ")) + QStringLiteral("; scores: ") +
           scores.join(QStringLiteral(", ")) + QStringLiteral(".");
}

QString HandResult(const GameState& G) {
    QStringList seats;
    for (int s = 1; s <= 4; ++s) {
        const int points = HandPoints(G.Bids[s], G.TricksMade[s]);
        seats << SeatName(s) + QStringLiteral(" bid %1, took %2, ").arg(G.Bids[s]).arg(G.TricksMade[s]) +
                     (G.Bids[s] == G.TricksMade[s] ? QStringLiteral("made it, ")
                                                   : QStringLiteral("missed, ")) +
                     Plural(points, "point");
    }
    return QStringLiteral("This hand: ") + seats.join(QStringLiteral("; ")) + QStringLiteral(".");
}
