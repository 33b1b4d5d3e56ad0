// The form on which a policy is entered (add mode) or changed (modify mode),
// with its beneficiary and rider working lists.
#pragma once

#include "policy_fields.h"
#include "app/page.h"
#include "records/policy_record.h"

#include <vector>

class CPolicyEntryPage : public CPage, public PolicyEditor {
    Q_OBJECT
public:
    enum Mode : int { kAdd = 1, kModify = 2 };

    // Adds policies to `policies` and changes them there.
    explicit CPolicyEntryPage(vantorel::CInsurance& policies, QWidget* parent = nullptr);

    // The main window's "添加保单资料": add mode, no beneficiaries yet.
    void OnSelected() override;

    // The button caption and the stepping buttons follow the mode as it is set.
    void SetMode(int mode);
    int GetMode() const { return mode_; }
    void SetCurrentIndex(int index) { currentIndex_ = index; }
    int CurrentIndex() const { return currentIndex_; }

    void ShowPolicy(const vantorel::PolicyRecord& record);
    vantorel::PolicyRecord BuildPolicy();
    // Modify mode on the stored policy at `index`, shown on the form; an
    // index outside the collection leaves the page as it is.
    bool EditPolicy(int index) override;

    const std::vector<vantorel::BeneficiaryRecord>& Beneficiaries() const { return beneficiaries_; }
    const std::vector<vantorel::RiderRecord>& Riders() const { return riders_; }

private:
    void OnAddOrModify();
    void AddPolicy();
    void ModifyPolicy();
    void Step(int delta);
    void OnBeneficiaries();
    void OnRiders();
    void SaveAfterListChange();
    // The line under the buttons: what was stored.
    void SayStored(const QString& done, const vantorel::PolicyRecord& record);
    void OnReport();
    void UpdateModeControls();
    bool IndexValid() const;

    vantorel::CInsurance& policies_;
    std::int16_t mode_ = kAdd;
    int currentIndex_ = -1;
    std::vector<vantorel::BeneficiaryRecord> beneficiaries_;
    std::vector<vantorel::RiderRecord> riders_;

    PolicyInfoValues info_;
    PersonValues holder_, insured_;
};
