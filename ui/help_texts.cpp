// Fixed texts of the help dialogs (compiled to Windows-1251).
#include "ui/help_texts.h"

const char RULES_TEXT[] = "Цель: набрать как можно больше очков. За каждый удаленый шарик - 1 очко.\r\n"
                          "Правила: можно менять два рядом стоящие шарика местами, только если при этом "
                          "образуется тройка или больше одинаковых шаров. Тройки удаляются с поля.\r\n"
                          "Конец: когда нет возможных ходов.";

static_assert(sizeof RULES_TEXT == RULES_TEXT_LENGTH + 1, "the rules text is 257 bytes");

const char ABOUT_TITLE[] = "Kuvex 2002";
