#include "services/message_language.h"

#include <gtest/gtest.h>

#include <map>
#include <string>

namespace zivivar {
namespace {

TEST(MessageLanguageTest, FollowsGettextsOrderOfTheVariables) {
  constexpr auto kDe = MessageLanguage::kGerman;
  constexpr auto kEn = MessageLanguage::kEnglish;
  const struct {
    std::map<std::string, std::string> environment;
    MessageLanguage expected;
  } cases[] = {
      {{}, kEn},
      {{{"LANG", "de_DE.UTF-8"}}, kDe},
      {{{"LANG", "den"}}, kEn},
      {{{"LANG", "de_DE.UTF-8"}, {"LC_MESSAGES", "en_GB"}}, kEn},
      {{{"LANG", "en_GB"}, {"LC_MESSAGES", "de_AT"}}, kDe},
      {{{"LC_MESSAGES", "en_GB"}, {"LC_ALL", "de_CH.UTF-8"}}, kDe},
      {{{"LANGUAGE", "fr:de_DE:en"}, {"LANG", "en_US"}}, kDe},
      {{{"LANGUAGE", "en:de"}, {"LANG", "de_DE"}}, kEn},
      {{{"LANGUAGE", "fr"}, {"LANG", "de_DE"}}, kEn},
      {{{"LANGUAGE", "de"}, {"LC_ALL", "C"}}, kEn},
  };
  for (const auto& c : cases) {
    std::string described;
    for (const auto& [name, value] : c.environment)
      described += name + "=" + value + " ";
    const auto lookup = [&](const char* name) -> const char* {
      const auto found = c.environment.find(name);
      return found == c.environment.end() ? nullptr : found->second.c_str();
    };
    EXPECT_EQ(ChooseMessageLanguage(lookup), c.expected) << described;
  }
}

}  // namespace
}  // namespace zivivar
