#include "content/view/ViewOptions.h"

#include "content/MesgUtils.h"
#include "settings/Options.h"

TViewOptions TViewOptions::FromSettings()
{
    TViewOptions options;
    if (TOptions* settings = Options()) {
        options.DeleteDoubleReturn = settings->DeleteDoubleReturn();
        options.MarkQuote = settings->MarkQuote();
        options.GreetingFilter = settings->GreetingFilter();
        options.AdvertismentFilter = settings->AdvertismentFilter();
        options.AdvertismentLevel = settings->AdvertismentLevel();
        options.AdSamples = settings->AdSamples().Samples();
    }
    return options;
}

TViewOptions TViewOptions::ForSubject(const QString& subject) const
{
    TViewOptions options = *this;
    if (IsDigestSubject(subject))
        options.AdvertismentFilter = false;
    return options;
}
