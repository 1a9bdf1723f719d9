#include "browser/picture_fields.h"

#include <cstring>

namespace browser {

namespace {

constexpr int TextWidth = 80;
constexpr int NumberWidth = 10;
constexpr int IdWidth = 12;
constexpr int DateWidth = 10;
constexpr int PaintedWidth = 16;
constexpr int DiagramWidth = 40;

} // namespace

const std::vector<PictureField>& pictureFields()
{
    using D = FieldDisplay;
    static const std::vector<PictureField> fields{
        {"IDPICTURE", QStringLiteral("ID"), true, D::Plain, true, IdWidth},
        {"IDFOLDER", QStringLiteral("IDFOLDER"), false, D::Plain, true, NumberWidth},
        {"TYPE", QStringLiteral("TYPE"), false, D::Plain, true, NumberWidth},
        {"TITLE", QStringLiteral("Заголовок"), true, D::Plain, false, TextWidth},
        {"KEYWORDS", QStringLiteral("Ключевые"), true, D::Plain, false, TextWidth},
        {"IMAGE", QStringLiteral("Изображение"), true, D::Painted, false, PaintedWidth},
        {"COUNT_SALES", QStringLiteral("Кол.продаж"), true, D::Plain, true, NumberWidth},
        {"SUM_SALES", QStringLiteral("Сумма"), true, D::Money, true, NumberWidth},
        {"SUM_ON_DEMAND", QStringLiteral("OnDemand"), true, D::Money, true, NumberWidth},
        {"SUM_ON_ENHANCED", QStringLiteral("Расширенные"), true, D::Money, true, NumberWidth},
        {"ACCEPT_DATE", QStringLiteral("Дата приемки"), true, D::Date, false, DateWidth},
        {"FIRST_SALE", QStringLiteral("Первая продажа"), true, D::Date, false, DateWidth},
        {"LAST_SALE", QStringLiteral("Посл.продажа"), true, D::Date, false, DateWidth},
        {"DIAGRAM", QStringLiteral("Статистика по дням"), true, D::Painted, false, DiagramWidth},
        {"EFFICACY", QStringLiteral("$/мес"), true, D::Money, true, NumberWidth},
        {"EFFICACY2", QStringLiteral("Dl's/день"), true, D::Money, true, NumberWidth},
        {"MAX_DLS", QStringLiteral("MaxDl's"), true, D::Plain, true, NumberWidth},
        {"IDBATCH", QStringLiteral("IDBATCH"), false, D::Plain, true, IdWidth},
    };
    return fields;
}

bool isSortableField(const char* name)
{
    return std::strcmp(name, "DIAGRAM") != 0 && std::strcmp(name, "IMAGE") != 0;
}

} // namespace browser
