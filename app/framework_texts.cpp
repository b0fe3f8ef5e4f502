#include "app/framework_texts.h"

#include "app/language.h"

namespace app {

FrameworkTexts FrameworkTextsFor(std::uint16_t languageId) {
    auto t = [](const char* back, const char* next, const char* finish, const char* cancel,
                const char* ok, const char* menu) {
        return FrameworkTexts{QString::fromUtf8(back),   QString::fromUtf8(next),
                              QString::fromUtf8(finish), QString::fromUtf8(cancel),
                              QString::fromUtf8(ok),     QString::fromUtf8(menu)};
    };
    switch (languageId) {
        case kChineseSimplified:
            return t("< 上一步(&B)", "下一步(&N) >", "完成", "取消", "确定", "系统菜单");
        case kFrench:
            return t("< &Précédent", "&Suivant >", "Terminer", "Annuler", "OK", "Menu système");
        case kGerman:
            return t("< &Zurück", "&Weiter >", "Fertig stellen", "Abbrechen", "OK", "Systemmenü");
        case kSpanish:
            return t("< &Atrás", "&Siguiente >", "Finalizar", "Cancelar", "Aceptar",
                     "Menú del sistema");
        case kItalian:
            return t("< &Indietro", "&Avanti >", "Fine", "Annulla", "OK", "Menu di sistema");
        case kJapanese:
            return t("< 戻る(&B)", "次へ(&N) >", "完了", "キャンセル", "OK", "システム メニュー");
        case kKorean:
            return t("< 뒤로(&B)", "다음(&N) >", "마침", "취소", "확인", "시스템 메뉴");
        case kPortugueseBrazil:
            return t("< &Voltar", "&Avançar >", "Concluir", "Cancelar", "OK", "Menu do sistema");
        case kRussian:
            return t("< &Назад", "&Далее >", "Готово", "Отмена", "ОК", "Системное меню");
        case kTurkish:
            return t("< &Geri", "&İleri >", "Son", "İptal", "Tamam", "Sistem menüsü");
        default:
            return t("< &Back", "&Next >", "Finish", "Cancel", "OK", "System menu");
    }
}

}  // namespace app
