#include "shell/addedtexts.h"

#include "link/porthinttexts.h"

namespace velmora::shell {

namespace {

constexpr std::string_view kNoticeSection = "messages";

constexpr AddedText kNotices[] = {
    {kNoticeSection, "emptyfile", "The file is empty."},
    {kNoticeSection, "firmwareincomplete",
     "The drive asked for more than the update file holds. The update was not completed."},
    {"portmenu", "rememberadapter", "Remember this adapter for this port"},
};

}  // namespace

const std::vector<AddedText>& AddedTexts() {
    static const std::vector<AddedText> texts = [] {
        std::vector<AddedText> all(std::begin(kNotices), std::end(kNotices));
        for (const link::PortHintText& hint : link::kPortHints)
            all.push_back({link::kPortHintSection, hint.key, hint.english});
        return all;
    }();
    return texts;
}

}  // namespace velmora::shell
