#include "ComboPopup.h"

#include <QComboBox>
#include <QProxyStyle>

namespace {

// The application's style, but a list's popup honours its row limit.
class LimitedPopupStyle : public QProxyStyle {
public:
    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* returnData) const override
    {
        if (hint == SH_ComboBox_Popup)
            return 0;
        return QProxyStyle::styleHint(hint, option, widget, returnData);
    }
};

} // namespace

void LimitPopupRows(QComboBox* box, int rows)
{
    if (!box)
        return;
    if (!dynamic_cast<LimitedPopupStyle*>(box->style())) {
        auto* style = new LimitedPopupStyle;
        style->setParent(box);
        box->setStyle(style);
    }
    box->setMaxVisibleItems(rows);
}
