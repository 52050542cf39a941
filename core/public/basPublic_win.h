#pragma once
// The parts of basPublic that read the clock or touch the job folders.
#include <oaidl.h>

#include <stdexcept>
#include <string>

#include "public/basPublic.h"

namespace quorallion::basPublic {

DateTime LocalNow();
// yyyymmddhhnnss of the local time and the milliseconds of the system clock: 17 digits.
std::wstring GetTimeStamp();

// r × (high − low) + low for 0 ≤ r < 1, rounded half to even.
long long RandomRange(long long low, long long high);
long long RandomNumberOfDigits(int n);
std::wstring RandomDigits(int n);

// The temp folder plus "Quorallion2\", created when missing.
std::wstring GetCacheRootPath();

// A job folder could not be made; the request fails with this.
class JobFolderError : public std::runtime_error {
public:
    explicit JobFolderError(unsigned long code)
        : std::runtime_error("job folder could not be created"), code_(code) {}
    unsigned long Code() const { return code_; }

private:
    unsigned long code_;
};

// A new 20-digit key whose folder under the temp root now exists. Lets messages run at every pass.
std::wstring CreateInstanceFolder();
// Makes a job folder and makes it the process's current one.
void InitInstanceCache();

// Deletes the entries of the temp root whose first 14 characters sort before the given local time
// minus two hours. Errors are ignored.
void CleanCacheRoot(const DateTime& now);
void CleanCacheRoot();

// True when the value holds no array whose first dimension has an upper bound: no array at all,
// or one never sized. An array sized to no elements (bounds 0 to -1) is not empty.
bool IsArrayEmpty(const VARIANT& value);

// The local time shifted by a number of minutes.
DateTime AddMinutes(const DateTime& value, long long minutes);

}  // namespace quorallion::basPublic
