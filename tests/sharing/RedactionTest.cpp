#include "sharing/Redaction.h"

#include <gtest/gtest.h>

TEST(Redaction, SecretsGoAndTheRestOfTheLineStays) {
    const struct {
        const char* line;
        const char* redacted;
    } cases[] = {
        {"https://h/connect/login_success.html#access_token=EAAB12&expires_in=5183",
         "https://h/connect/login_success.html#access_token=<redacted>&expires_in=5183"},
        {"URL : https://g/me/videos?access_token=T0k&title=a%26b", "URL : https://g/me/videos?access_token=<redacted>&title=a%26b"},
        {"http://localhost/?code=4/0Ab%2Fx&scope=s", "http://localhost/?code=<redacted>&scope=s"},
        {"code=C&client_id=1-a.apps&client_secret=S3cr_t&redirect_uri=http://localhost/&grant_type=authorization_code",
         "code=<redacted>&client_id=1-a.apps&client_secret=<redacted>&redirect_uri=http://localhost/&grant_type=authorization_code"},
        {"{\n \"access_token\" : \"ya29.a\\\"b\",\n \"refresh_token\": \"1//r\", \"expires_in\": 3599}",
         "{\n \"access_token\" : \"<redacted>\",\n \"refresh_token\": \"<redacted>\", \"expires_in\": 3599}"},
        {"Authorization: Bearer ya29.x y", "Authorization: Bearer <redacted> y"},
        // Lookalikes keep their values; an empty value has nothing to hide.
        {"postcode=1234&codes=5&code=&barcode \"code\" done", "postcode=1234&codes=5&code=&barcode \"code\" done"},
        {"", ""},
    };
    for (const auto& c : cases) EXPECT_EQ(pmRedactSecrets(c.line), c.redacted) << c.line;
}
