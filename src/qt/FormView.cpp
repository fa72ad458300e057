#include "FormView.h"

#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QFocusEvent>
#include <QGroupBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTimer>
#include <QTreeView>
#include <climits>

#include "ListViewModel.h"
#include "PictureWidget.h"
#include "Text.h"
#include "controls/Button.h"
#include "controls/CheckBox.h"
#include "controls/ComboBox.h"
#include "controls/CommonDialog.h"
#include "controls/Form.h"
#include "controls/Frame.h"
#include "controls/Label.h"
#include "controls/ListView.h"
#include "controls/MenuItem.h"
#include "controls/Picture.h"
#include "controls/ProgressBar.h"
#include "controls/TabStrip.h"
#include "controls/TextBox.h"
#include "controls/Timer.h"

namespace tandu::qt {

QString plainCaption(const std::string& caption) {
    return toQ(caption).replace('&', QStringLiteral("&&"));
}

namespace {

// Runs a call when the watched widget loses the input focus.
class FocusOutFilter : public QObject {
public:
    FocusOutFilter(QObject* parent, std::function<void()> onFocusOut)
        : QObject(parent), onFocusOut_(std::move(onFocusOut)) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        // Another window or a pop-up taking the focus is not the user leaving the box.
        if (event->type() == QEvent::FocusOut) {
            const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
            if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason) {
                onFocusOut_();
            }
        }
        return QObject::eventFilter(watched, event);
    }

private:
    std::function<void()> onFocusOut_;
};

// Gaining the focus puts a list's cursor on its first row without choosing
// it; the first arrow key then chooses that row instead of moving past it.
class FirstArrowChoosesFilter : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::KeyPress) {
            return QObject::eventFilter(watched, event);
        }
        auto* view = static_cast<QAbstractItemView*>(watched);
        const int key = static_cast<QKeyEvent*>(event)->key();
        const bool arrow = key == Qt::Key_Down || key == Qt::Key_Up;
        const QModelIndex current = view->currentIndex();
        if (arrow && current.isValid() && !view->selectionModel()->hasSelection()) {
            view->selectionModel()->select(
                current, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
            return true;
        }
        return QObject::eventFilter(watched, event);
    }
};

// Enter and Delete on a list go to its control (the list acts on its row);
// other keys keep their usual work.
class ListKeysFilter : public QObject {
public:
    ListKeysFilter(QObject* parent, ListView& list) : QObject(parent), list_(list) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::KeyPress) {
            const auto* press = static_cast<QKeyEvent*>(event);
            if (press->modifiers() == Qt::NoModifier || press->modifiers() == Qt::KeypadModifier) {
                switch (press->key()) {
                    case Qt::Key_Return:
                    case Qt::Key_Enter:
                        list_.keyDown(ListView::Key::Enter);
                        return true;
                    case Qt::Key_Delete:
                        list_.keyDown(ListView::Key::Delete);
                        return true;
                    default:
                        break;
                }
            }
        }
        return QObject::eventFilter(watched, event);
    }

private:
    ListView& list_;
};

QColor colorOf(const Color& color, const QWidget* widget) {
    if (color.kind == Color::Kind::Rgb) {
        return QColor((color.value >> 16) & 0xFF, (color.value >> 8) & 0xFF, color.value & 0xFF);
    }
    // The user's palette stands in for the system colours.
    const QPalette& palette = widget->palette();
    switch (color.value) {
        case Color::kInactiveBorder:
            return palette.color(QPalette::Inactive, QPalette::Window);
        default:
            return palette.color(QPalette::Base);
    }
}

// QProgressBar counts in int: larger ranges are scaled down together.
struct BarScale {
    std::int64_t divisor = 1;
    explicit BarScale(std::int64_t max) {
        while (max / divisor > INT_MAX / 2) {
            divisor *= 2;
        }
    }
    int operator()(std::int64_t v) const { return static_cast<int>(v / divisor); }
};

void applyBar(QProgressBar* bar, const ProgressBar& control) {
    const BarScale scale(std::max(std::abs(control.max()), std::abs(control.min())));
    bar->setRange(scale(control.min()), std::max(scale(control.min()), scale(control.max())));
    bar->setValue(std::clamp(scale(control.value()), bar->minimum(), bar->maximum()));
}

}  // namespace

FormView::FormView(Form& form, QWidget* root, TwipsScale scale,
                   const std::function<bool(const Control&)>& skip)
    : QObject(root), form_(form), root_(root), scale_(scale) {
    for (Control* control : form.controls()) {
        if (dynamic_cast<MenuItem*>(control) != nullptr) {
            continue;  // menus belong to the window's menu bar
        }
        if (auto* timer = dynamic_cast<Timer*>(control)) {
            bindTimer(*timer);
            continue;
        }
        if (dynamic_cast<CommonDialog*>(control) != nullptr || (skip && skip(*control))) {
            continue;
        }
        QWidget* parent = root;
        if (Control* container = control->container()) {
            if (QWidget* host = widget(*container)) {
                parent = host;
            }
        }
        QWidget* made = create(*control, parent);
        if (made != nullptr) {
            widgets_[control] = made;
            bindCommon(*control, made);
        }
    }
}

FormView::~FormView() {
    for (Control* control : bound_) {
        control->setListener(nullptr);
    }
}

QWidget* FormView::widget(const Control& control) const {
    auto it = widgets_.find(&control);
    return it == widgets_.end() ? nullptr : it->second.data();
}

void FormView::place(const Control& control) {
    if (QWidget* w = widget(control)) {
        w->setGeometry(
            scale_.rect(control.left(), control.top(), control.width(), control.height()));
    }
}

void FormView::bindTimer(Control& control) {
    auto& timer = static_cast<Timer&>(control);
    auto* qtimer = new QTimer(this);
    timers_.push_back(qtimer);
    auto sync = [qtimer, &timer] {
        if (timer.enabled() && timer.interval() > 0) {
            qtimer->start(timer.interval());
        } else {
            qtimer->stop();
        }
    };
    connect(qtimer, &QTimer::timeout, this, [&timer] { timer.tick(); });
    timer.setListener([sync](const ControlChange&) { sync(); });
    bound_.push_back(&timer);
    sync();
}

QWidget* FormView::create(Control& control, QWidget* parent) {
    const QString name = toQ(control.name());
    QWidget* made = nullptr;

    if (auto* button = dynamic_cast<Button*>(&control)) {
        auto* w = new QPushButton(plainCaption(button->caption()), parent);
        w->setAutoDefault(false);
        w->setDefault(button->isDefault);
        connect(w, &QPushButton::clicked, this, [button] { button->click(); });
        made = w;
    } else if (auto* check = dynamic_cast<CheckBox*>(&control)) {
        auto* w = new QCheckBox(plainCaption(check->caption()), parent);
        w->setChecked(check->checked());
        connect(w, &QCheckBox::clicked, this, [check] { check->click(); });
        made = w;
    } else if (auto* label = dynamic_cast<Label*>(&control)) {
        auto* w = new QLabel(toQ(label->caption()), parent);
        w->setTextFormat(Qt::PlainText);
        w->setWordWrap(label->wordWrap);
        w->setAlignment(Qt::AlignLeft | (label->wordWrap ? Qt::AlignTop : Qt::AlignVCenter));
        made = w;
    } else if (auto* frame = dynamic_cast<Frame*>(&control)) {
        made = new QGroupBox(toQ(frame->caption()), parent);
    } else if (auto* text = dynamic_cast<TextBox*>(&control)) {
        if (text->multiLine()) {
            auto* w = new QPlainTextEdit(parent);
            w->setPlainText(toQ(text->text()));
            w->setLineWrapMode(QPlainTextEdit::NoWrap);
            // Enter makes a new line; Tab goes on to the next control.
            w->setTabChangesFocus(true);
            w->setReadOnly(text->locked());
            connect(w, &QPlainTextEdit::textChanged, this, [w, text] {
                const std::string now = fromQ(w->toPlainText());
                if (now != text->text()) {
                    text->setText(now);
                }
            });
            made = w;
        } else {
            auto* w = new QLineEdit(toQ(text->text()), parent);
            w->setReadOnly(text->locked());
            connect(w, &QLineEdit::textEdited, this,
                    [text](const QString& now) { text->setText(fromQ(now)); });
            made = w;
        }
        made->installEventFilter(new FocusOutFilter(made, [text] { text->lostFocus(); }));
    } else if (auto* combo = dynamic_cast<ComboBox*>(&control)) {
        auto* w = new QComboBox(parent);
        w->setEditable(true);
        w->setInsertPolicy(QComboBox::NoInsert);
        for (const std::string& item : combo->items()) {
            w->addItem(toQ(item));
        }
        w->setEditText(toQ(combo->text()));
        connect(w, &QComboBox::editTextChanged, this, [combo](const QString& now) {
            if (fromQ(now) != combo->text()) {
                combo->setText(fromQ(now));
            }
        });
        made = w;
    } else if (auto* list = dynamic_cast<ListView*>(&control)) {
        auto* w = new QTreeView(parent);
        auto* model = new ListViewModel(*list, w);
        w->setModel(model);
        w->setRootIsDecorated(false);
        w->setUniformRowHeights(true);
        w->setAllColumnsShowFocus(true);
        w->setItemsExpandable(false);
        w->setSelectionMode(QAbstractItemView::SingleSelection);
        w->setSelectionBehavior(QAbstractItemView::SelectRows);
        w->setEditTriggers(QAbstractItemView::NoEditTriggers);
        w->header()->setStretchLastSection(true);
        for (int c = 0; c < static_cast<int>(list->columns().size()); ++c) {
            w->setColumnWidth(c, scale_.px(list->columns()[c].width));
        }
        // A user's click or keyboard move selects the row and runs the handler.
        auto userSelect = [list](const QModelIndex& index) {
            if (index.isValid()) {
                list->clickRow(index.row());
            }
        };
        connect(w, &QTreeView::clicked, this, userSelect);
        // Keyboard moves select; a view that only gains focus sets its current
        // row without selecting it, and that is no choice of the user's.
        connect(w->selectionModel(), &QItemSelectionModel::selectionChanged, this,
                [w, list, userSelect](const QItemSelection& selected) {
                    if (selected.isEmpty() || w->property("tanduSyncing").toBool()) {
                        return;
                    }
                    const QModelIndex current = selected.indexes().first();
                    if (current.row() != list->selectedIndex()) {
                        userSelect(current);
                    }
                });
        w->installEventFilter(new FirstArrowChoosesFilter(w));
        w->installEventFilter(new ListKeysFilter(w, *list));
        // A right click chooses the row under the pointer, then asks for its menu.
        w->setContextMenuPolicy(Qt::CustomContextMenu);
        connect(w, &QTreeView::customContextMenuRequested, this, [w, list](const QPoint& at) {
            const QModelIndex index = w->indexAt(at);
            if (index.isValid()) {
                list->rightClickRow(index.row());
            }
        });
        connect(w, &QTreeView::doubleClicked, this, [list](const QModelIndex& index) {
            if (index.isValid()) {
                list->doubleClickRow(index.row());
            }
        });
        made = w;
    } else if (auto* bar = dynamic_cast<ProgressBar*>(&control)) {
        auto* w = new QProgressBar(parent);
        w->setTextVisible(false);
        applyBar(w, *bar);
        made = w;
    } else if (auto* tabs = dynamic_cast<TabStrip*>(&control)) {
        auto* w = new QTabWidget(parent);
        for (const std::string& tab : tabs->tabs()) {
            w->addTab(new QWidget(w), plainCaption(tab));
        }
        if (tabs->selectedIndex() >= 0) {
            w->setCurrentIndex(tabs->selectedIndex());
        }
        connect(w->tabBar(), &QTabBar::tabBarClicked, this, [tabs](int index) {
            if (index >= 0) {
                tabs->clickTab(index);
            }
        });
        // The arrow keys on the tab bar change tabs too (a click has already
        // told the control; the control's own changes come with signals blocked).
        connect(w, &QTabWidget::currentChanged, this, [tabs](int index) {
            if (index >= 0 && index != tabs->selectedIndex()) {
                tabs->clickTab(index);
            }
        });
        made = w;
    } else if (auto* picture = dynamic_cast<Picture*>(&control)) {
        made = new PictureWidget(*picture, parent);
    }
    if (made != nullptr) {
        made->setObjectName(control.index() >= 0 ? name + QString::number(control.index()) : name);
        made->setProperty("tanduControl", name);
        made->setProperty("tanduIndex", control.index());
    }
    return made;
}

void FormView::bindCommon(Control& control, QWidget* widget) {
    QPointer<QWidget> w(widget);
    widget->setGeometry(
        scale_.rect(control.left(), control.top(), control.width(), control.height()));
    widget->setEnabled(control.enabled());
    widget->setVisible(control.visible());
    if (auto* text = dynamic_cast<TextBox*>(&control)) {
        QPalette palette = widget->palette();
        palette.setColor(QPalette::Base, colorOf(text->backColor(), widget));
        widget->setPalette(palette);
    }
    Control* c = &control;
    bound_.push_back(c);
    control.setListener([this, w, c](const ControlChange& change) {
        if (!w) {
            return;
        }
        switch (change.what) {
            case Change::Visible:
                w->setVisible(c->visible());
                return;
            case Change::Enabled:
                w->setEnabled(c->enabled());
                return;
            case Change::Geometry:
                w->setGeometry(scale_.rect(c->left(), c->top(), c->width(), c->height()));
                return;
            default:
                break;
        }
        if (auto* button = dynamic_cast<QPushButton*>(w.data())) {
            if (change.what == Change::Caption) {
                button->setText(plainCaption(static_cast<Button*>(c)->caption()));
            }
        } else if (auto* check = dynamic_cast<QCheckBox*>(w.data())) {
            auto* model = static_cast<CheckBox*>(c);
            if (change.what == Change::Caption) {
                check->setText(plainCaption(model->caption()));
            } else if (change.what == Change::Checked) {
                check->setChecked(model->checked());
            }
        } else if (auto* label = dynamic_cast<QLabel*>(w.data())) {
            if (change.what == Change::Caption) {
                label->setText(toQ(static_cast<Label*>(c)->caption()));
            }
        } else if (auto* group = dynamic_cast<QGroupBox*>(w.data())) {
            if (change.what == Change::Caption) {
                group->setTitle(toQ(static_cast<Frame*>(c)->caption()));
            }
        } else if (auto* line = dynamic_cast<QLineEdit*>(w.data())) {
            auto* model = static_cast<TextBox*>(c);
            if (change.what == Change::Text && fromQ(line->text()) != model->text()) {
                line->setText(toQ(model->text()));
            } else if (change.what == Change::BackColor) {
                QPalette palette = line->palette();
                palette.setColor(QPalette::Base, colorOf(model->backColor(), line));
                line->setPalette(palette);
            }
        } else if (auto* edit = dynamic_cast<QPlainTextEdit*>(w.data())) {
            auto* model = static_cast<TextBox*>(c);
            if (change.what == Change::Text && fromQ(edit->toPlainText()) != model->text()) {
                edit->setPlainText(toQ(model->text()));
            } else if (change.what == Change::BackColor) {
                QPalette palette = edit->palette();
                palette.setColor(QPalette::Base, colorOf(model->backColor(), edit));
                edit->setPalette(palette);
            }
        } else if (auto* combo = dynamic_cast<QComboBox*>(w.data())) {
            auto* model = static_cast<ComboBox*>(c);
            if (change.what == Change::Items) {
                const QSignalBlocker block(combo);
                combo->clear();
                for (const std::string& item : model->items()) {
                    combo->addItem(toQ(item));
                }
                combo->setEditText(toQ(model->text()));
            } else if (change.what == Change::Text &&
                       fromQ(combo->currentText()) != model->text()) {
                const QSignalBlocker block(combo);
                combo->setEditText(toQ(model->text()));
            }
        } else if (auto* tree = dynamic_cast<QTreeView*>(w.data())) {
            auto* model = static_cast<ListViewModel*>(tree->model());
            auto* list = static_cast<ListView*>(c);
            // The view moves its choice to a neighbour when rows go; that is
            // no choice of the user's, so the list's own selection is shown again.
            const auto showSelection = [tree, model, list] {
                tree->setProperty("tanduSyncing", true);
                const int row = list->selectedIndex();
                if (row < 0) {
                    tree->selectionModel()->clearSelection();
                } else {
                    tree->selectionModel()->setCurrentIndex(
                        model->index(row, 0),
                        QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
                }
                tree->setProperty("tanduSyncing", false);
            };
            const auto changeRows = [tree, &showSelection](const auto& update) {
                tree->setProperty("tanduSyncing", true);
                update();
                tree->setProperty("tanduSyncing", false);
                showSelection();
            };
            switch (change.what) {
                case Change::RowInserted:
                    // Rows are appended: the view's choice stays where it was.
                    tree->setProperty("tanduSyncing", true);
                    model->rowInserted(change.row);
                    tree->setProperty("tanduSyncing", false);
                    break;
                case Change::RowRemoved:
                    changeRows([&] { model->rowRemoved(change.row); });
                    break;
                case Change::Cell:
                    model->cellChanged(change.row, change.column);
                    break;
                case Change::RowsReset:
                case Change::Columns:
                    changeRows([&] { model->reset(); });
                    break;
                case Change::Selection:
                    showSelection();
                    break;
                default:
                    break;
            }
        } else if (auto* bar = dynamic_cast<QProgressBar*>(w.data())) {
            applyBar(bar, *static_cast<ProgressBar*>(c));
        } else if (auto* tabs = dynamic_cast<QTabWidget*>(w.data())) {
            auto* model = static_cast<TabStrip*>(c);
            if (change.what == Change::Selection && model->selectedIndex() >= 0) {
                const QSignalBlocker block(tabs);
                tabs->setCurrentIndex(model->selectedIndex());
            }
        } else if (auto* picture = dynamic_cast<PictureWidget*>(w.data())) {
            picture->update();
        }
    });
}

}  // namespace tandu::qt
