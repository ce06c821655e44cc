#include "refhost/components/host_config.h"

#include "refhost/store/record_store.h"

namespace zn::refhost {

void HostConfig::fail(std::string member, HRESULT code, std::u16string description, int skip, int times) {
    failures_[std::move(member)] = Failure{code, std::move(description), skip, times};
}

std::optional<Failure> HostConfig::next_failure(const std::string& member) {
    const auto it = failures_.find(member);
    if (it == failures_.end()) return std::nullopt;
    Failure& f = it->second;
    if (f.skip > 0) {
        --f.skip;
        return std::nullopt;
    }
    if (f.times == 0) return std::nullopt;
    if (f.times > 0) --f.times;
    return f;
}

bool HostConfig::answer_installed(LONG module) {
    if (!scripted_answers.empty()) {
        const bool answer = scripted_answers.front();
        scripted_answers.pop_front();
        return answer;
    }
    if (modules_from_records && records) return records->module_installed(module);
    return installed_modules.contains(module);
}

}  // namespace zn::refhost
