// temp_folder: a fresh folder of a test's own under the temporary directory (mkdtemp, so
// parallel runs never share one), removed with all it holds by Remove() or when it goes.
// Enter() also makes it the working folder; Remove() first goes back to the one before.
//     ASSERT_TRUE(folder_.Enter("stream"));   // in SetUp
//     folder_.Remove();                       // in TearDown, where the order matters
#pragma once
#include <stdlib.h>

#include <filesystem>
#include <string>
#include <system_error>

class temp_folder {
 public:
  temp_folder() = default;
  ~temp_folder() { Remove(); }
  temp_folder(const temp_folder&) = delete;
  temp_folder& operator=(const temp_folder&) = delete;

  // "kelvane_<tag>_XXXXXX"; 0 when it could not be made.
  int Make(const std::string& tag) {
    Remove();
    std::string templ = (std::filesystem::temp_directory_path() / ("kelvane_" + tag + "_XXXXXX")).string();
    if (mkdtemp(templ.data())) path_ = templ;
    return ok();
  }
  int Enter(const std::string& tag) {
    if (!Make(tag)) return 0;
    home_ = std::filesystem::current_path();
    std::filesystem::current_path(path_);
    return 1;
  }
  void Remove() {
    std::error_code ignored;
    if (!home_.empty()) std::filesystem::current_path(home_, ignored);
    home_.clear();
    if (path_.empty()) return;
    // A test may have taken the folder's own permissions away to see a save fail.
    std::filesystem::permissions(path_, std::filesystem::perms::owner_all, std::filesystem::perm_options::add,
                                 ignored);
    std::filesystem::remove_all(path_, ignored);
    path_.clear();
  }

  int ok() const { return !path_.empty(); }
  const std::filesystem::path& path() const { return path_; }
  std::filesystem::path operator/(const std::string& rel) const { return path_ / rel; }

 private:
  std::filesystem::path path_, home_;
};

// The game's sounds (the .ogg files of a data folder), copied into `to`, which is made if missing.
inline void CopySounds(const std::filesystem::path& from, const std::filesystem::path& to) {
  std::filesystem::create_directories(to);
  for (const auto& e : std::filesystem::directory_iterator(from))
    if (e.path().extension() == ".ogg") std::filesystem::copy_file(e.path(), to / e.path().filename());
}
