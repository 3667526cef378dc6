#pragma once
// An observer of a setup run that keeps what it is told, from any thread, as the installer's
// windows would show it; it answers the question whether to replace a client as told.

#include <windows.h>

#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "engine/SetupObserver.h"

class RecordingObserver : public setup::ISetupObserver {
 public:
  struct Progress {
    int64_t received = 0;
    int64_t total = 0;
    bool operator==(const Progress& other) const { return received == other.received && total == other.total; }
  };

  explicit RecordingObserver(bool replace = true) : m_bReplace(replace) {}

  void OnProgress(int64_t received, int64_t total) override {
    {
      std::lock_guard<std::mutex> hold(m_lock);
      m_progress.push_back({received, total});
    }
    if (onProgress) onProgress(received, total);
  }
  bool AskProxyLogin(const std::wstring& proxy, const std::wstring& realm, bool again, std::wstring& user,
                     std::wstring& password) override {
    {
      std::lock_guard<std::mutex> hold(m_lock);
      m_events.push_back(again ? "asked login again" : "asked login");
      m_loginQuestions.emplace_back(proxy, realm);
    }
    if (m_logins.empty()) return false;
    std::tie(user, password) = m_logins.front();
    m_logins.erase(m_logins.begin());
    return true;
  }
  void OnPackageReady() override { Add("ready"); }
  void OnRunEnded(setup::SetupOutcome outcome) override {
    std::lock_guard<std::mutex> hold(m_lock);
    m_outcomes.push_back(outcome);
    m_events.push_back("ended");
  }
  void OnInstallStarted() override { Add("install started"); }
  bool ConfirmReplace(const std::wstring& installed, const std::wstring& published) override {
    std::lock_guard<std::mutex> hold(m_lock);
    m_questions.emplace_back(installed, published);
    m_events.push_back("asked");
    return m_bReplace;
  }

  void SetReplace(bool replace) { m_bReplace = replace; }
  // The logins given when a proxy asks, in order; asked beyond them, the person declines.
  void SetLogins(std::vector<std::pair<std::wstring, std::wstring>> logins) { m_logins = std::move(logins); }
  std::vector<std::pair<std::wstring, std::wstring>> LoginQuestions() const {
    std::lock_guard<std::mutex> hold(m_lock);
    return m_loginQuestions;
  }
  // Called after each progress report, on the reporting thread.
  std::function<void(int64_t received, int64_t total)> onProgress;
  void Clear() {
    std::lock_guard<std::mutex> hold(m_lock);
    m_progress.clear();
    m_outcomes.clear();
    m_events.clear();
    m_questions.clear();
  }

  // In the order they came: "ready", "install started", "asked", "ended".
  std::vector<std::string> Events() const {
    std::lock_guard<std::mutex> hold(m_lock);
    return m_events;
  }
  std::vector<setup::SetupOutcome> Outcomes() const {
    std::lock_guard<std::mutex> hold(m_lock);
    return m_outcomes;
  }
  std::vector<Progress> ProgressCalls() const {
    std::lock_guard<std::mutex> hold(m_lock);
    return m_progress;
  }
  // The last progress reported; nothing received of nothing when none was.
  Progress LastProgress() const {
    std::lock_guard<std::mutex> hold(m_lock);
    return m_progress.empty() ? Progress() : m_progress.back();
  }
  std::vector<std::pair<std::wstring, std::wstring>> Questions() const {
    std::lock_guard<std::mutex> hold(m_lock);
    return m_questions;
  }
  size_t Count(const std::string& event) const {
    size_t n = 0;
    for (const std::string& e : Events()) n += e == event;
    return n;
  }

 private:
  void Add(const char* event) {
    std::lock_guard<std::mutex> hold(m_lock);
    m_events.push_back(event);
  }

  mutable std::mutex m_lock;
  bool m_bReplace;
  std::vector<Progress> m_progress;
  std::vector<setup::SetupOutcome> m_outcomes;
  std::vector<std::string> m_events;
  std::vector<std::pair<std::wstring, std::wstring>> m_questions;
  std::vector<std::pair<std::wstring, std::wstring>> m_logins;
  std::vector<std::pair<std::wstring, std::wstring>> m_loginQuestions;  // proxy, realm
};
