#include "lottery/lottery.hpp"

#include "platform/files.hpp"
#include "platform/halt.hpp"
#include "platform/val.hpp"

namespace lottery {

namespace {

std::string two_digits(int v) {
    std::string s = std::to_string(v);
    return s.size() < 2 ? "0" + s : s;
}

}  // namespace

std::string DateText(const plat::LocalDate& date) {
    return std::to_string(date.year) + two_digits(date.month) + two_digits(date.day);
}

void DailyReset(const std::string& program_dir, const plat::LocalDate& today) {
    std::string date = DateText(today);
    std::string last = "0";
    plat::TextReader maint;
    if (maint.try_open(program_dir + kMaintFile) == 0) {
        last = maint.read_line(255);
        maint.close();
    }
    if (last == date) return;
    std::string users = program_dir + kUsersFile;
    // Another node starting the same new day may have deleted it already.
    if (plat::file_exists(users)) {
        int code = plat::try_delete_file(users);
        if (code != 0 && code != plat::rte::file_not_found) plat::run_error(code);
    }
    plat::TextWriter file;
    if (file.try_create(program_dir + kMaintFile) != 0) return;
    file.write_line(date);
    file.close();
}

bool TurnedAway(const std::string& program_dir, int32_t record) {
    std::string users = program_dir + kUsersFile;
    if (!plat::file_exists(users)) return false;
    plat::TextReader file;
    if (file.try_open(users) != 0) return false;
    bool listed = false;
    while (!file.eof())
        if (plat::val_or(file.read_line(255), -1) == record) listed = true;
    file.close();
    return listed;
}

void RecordVisitor(const std::string& program_dir, int32_t record) {
    AppendCreating(program_dir + kUsersFile, std::to_string(record) + "\r\n");
}

}  // namespace lottery
