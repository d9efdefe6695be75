#include "ui/dialogs/ColumnsDialog.h"

#include "messages/MesgFields.h"
#include "ui/MessageBoxes.h"
#include "ui/VarControls.h"
#include "ui/actions/ListActions.h"
#include "ui/dialogs/LanguageSection.h"
#include "ui/dialogs/OrderButtons.h"
#include "ui/mesglist/MailColumnsList.h"
#include "ui/mesglist/MesgListView.h"

#include <QLabel>
#include <QPushButton>

namespace {

const QString kSection = QStringLiteral("MDialogs");

QString SectionValue(const QString& name)
{
    return Lang().SectionValue(kSection, name);
}

// Rows that show every field without scrolling.
int ListHeight(const QListWidget& box, int rows)
{
    return rows * box.fontMetrics().height() * 5 / 4 + 2 * box.frameWidth() + 4;
}

} // namespace

// ---------------------------------------------------------- TMesgColListBox

TMesgColListBox::TMesgColListBox(QWidget* parent)
    : TOrderListBox(parent)
{
}

TMailColumnsList* TMesgColListBox::Columns() const
{
    return dynamic_cast<TMailColumnsList*>(DataObject());
}

void TMesgColListBox::SetHiddenBox(QListWidget* box)
{
    FHidden = box;
    Refill();
}

void TMesgColListBox::Refill()
{
    TOrderListBox::Refill();
    if (!FHidden)
        return;
    const int selected = FHidden->currentRow();
    FHidden->clear();
    if (const TMailColumnsList* columns = Columns()) {
        for (int i = 0; i < columns->HiddenCount(); ++i)
            FHidden->addItem(MesgFieldCaption(columns->HiddenField(i), true));
    }
    if (FHidden->count() > 0)
        FHidden->setCurrentRow(std::clamp(selected, 0, FHidden->count() - 1));
}

bool TMesgColListBox::CanAdd() const
{
    const TMailColumnsList* columns = Columns();
    return columns && FHidden && FHidden->currentRow() >= 0 && FHidden->currentRow() < columns->HiddenCount();
}

void TMesgColListBox::Add()
{
    if (!CanAdd())
        return;
    TMailColumnsList* columns = Columns();
    const int position = columns->AddField(columns->HiddenField(FHidden->currentRow()));
    Refill();
    setCurrentRow(position);
}

// ----------------------------------------------------------- TColumnsDialog

TColumnsDialog::TColumnsDialog(TMesgListView& list)
    : TDialog(SectionValue(QStringLiteral("ColEditTitle")))
    , FList(list)
    , FCopy(new TMailColumnsList(this))
{
    const TLanguageSection section(kSection);
    setObjectName(QStringLiteral("ColumnsDialog"));
    FCopy->Assign(list.MailColumns());
    // Both boxes are as wide as the widest field caption needs.
    int unit = 0;
    for (int field = 0; field < kMailColumnCount; ++field)
        unit = std::max(unit, Units().TextWidth(MesgFieldCaption(field, true)) + 16);
    const int margin = Units().CharWidth;
    const int boxWidth = unit + 2 * margin;
    const int top = CursorY();

    QLabel* leftLabel = AddNamedLabel(QStringLiteral("LeftLabel"));
    const int boxTop = CursorY();
    FShown = new TMesgColListBox(this);
    FShown->setObjectName(QStringLiteral("ShownColumns"));
    FShown->setAccessibleName(leftLabel->text());
    FShown->setContextMenuPolicy(Qt::ActionsContextMenu);

    FButtons = new TOrderButtons(this);
    FButtons->setObjectName(QStringLiteral("ColumnButtons"));
    FButtons->SetOrientation(Qt::Vertical);
    FButtons->SetListBox(FShown);
    for (int kind : {okAdd, okDelete, okMoveUp, okMoveDown})
        FButtons->AddKind(kind);
    // The list box's context menu offers the same commands as the buttons.
    for (const QPushButton* button : FButtons->Buttons())
        FShown->addAction(FButtons->ActionOf(button));

    FHidden = new TVarListBox(this);
    FHidden->setObjectName(QStringLiteral("HiddenColumns"));
    FHidden->OnClickItem = [this](int) { FShown->Add(); };

    const int height = std::max(ListHeight(*FShown, kMailColumnCount), FButtons->height());
    const int buttonsLeft = margin + boxWidth + margin;
    const int rightLeft = buttonsLeft + FButtons->width() + margin;
    Place(FShown, QRect(margin, boxTop, boxWidth, height));
    Place(FButtons, QRect(buttonsLeft, boxTop, FButtons->width(), height));
    FButtons->LayoutButtons();
    auto* rightLabel = new QLabel(SectionValue(QStringLiteral("RightLabel")), this);
    rightLabel->setObjectName(QStringLiteral("RightLabel"));
    Place(rightLabel, QRect(rightLeft, top, boxWidth, leftLabel->height()));
    FHidden->setAccessibleName(rightLabel->text());
    Place(FHidden, QRect(rightLeft, boxTop, boxWidth, height));
    WidenFor(FHidden);
    SetCursorY(boxTop + height + Units().CharHeight);

    FShown->SetDataObject(FCopy);
    FShown->SetHiddenBox(FHidden);
    FShown->setCurrentRow(0);
    FShown->setFocus();
}

TColumnsDialog::~TColumnsDialog() = default;

bool TColumnsDialog::ValidateDialog()
{
    if (FCopy->HasTextColumn())
        return true;
    ErrorBox(SectionValue(QStringLiteral("TextColumns")));
    FShown->setFocus();
    return false;
}

bool TColumnsDialog::Execute()
{
    if (!RunOkCancel())
        return false;
    FList.MailColumns().Assign(*FCopy);
    return true;
}
